// Samples and draws the sinusoidal-track stream. Used by the "Sinusoids" data panel.
#include "views/track_view.h"

#include <algorithm>
#include <cmath>

#include "views/pixel_canvas.h"

namespace {

// Calls `take` with the track index, the frame's elements and the row number of each row of a frame's
// first matrix whose track index names a slot. Frames without a matrix, matrices without
// the index, frequency and amplitude columns, and matrices without a numeric type (whose track index is
// undefined) have no partials.
template <class Take>
void read_partials(const SdifFrame& frame, Take take) {
  const SdifMatrix* matrix = frame.matrices;
  if (!matrix || matrix->columns < 3) return;
  matrix->with_elements([&](auto elements) {
    for (int row = 0; row < matrix->rows; ++row) {
      int32_t index = -1;
      elements.as_int(0, row, index);
      if (index >= 0 && index < SLOTS) take(index, elements, row);
    }
  });
}

}  // namespace

TrackView::TrackView(int x, int y, int w, int h, SdifStreamCursor* cursor) : SdifView(x, y, w, h, cursor) {
  contrast_curve = std::make_unique<ContrastCurve>(0.3f);
}

void TrackView::draw() { draw_through_canvas(*this); }

void TrackView::sample_column(double t, SlotValues& frequencies, SlotValues& amplitudes) {
  double w;
  SdifFrame* current = frame_pair(t, w);
  frequencies.fill(0.0);
  amplitudes.fill(0.0);
  if (!current) return;
  // A later row with the same index overwrites the slot.
  // The current frame's amplitude is read in double and the next frame's through a float, on purpose:
  // the traces' brightness, and so the pictures, depend on this mix of precisions.
  read_partials(*current, [&](int k, auto elements, int row) {
    frequencies[k] = elements.as_float(1, row);
    amplitudes[k] = (1 - w) * elements.as_double(2, row);
  });
  if (!current->next_in_stream) return;
  read_partials(*current->next_in_stream, [&](int k, auto elements, int row) {
    float frequency = elements.as_float(1, row);
    bool both = present(frequencies[k]) && present(frequency);
    // A slot whose frequency is zero in either frame takes the next frame's frequency, even a zero one.
    frequencies[k] = both ? (1 - w) * frequencies[k] + w * frequency : frequency;
    amplitudes[k] = amplitudes[k] + w * elements.as_float(2, row);
  });
}
