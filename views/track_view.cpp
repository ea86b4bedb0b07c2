// Samples and draws the sinusoidal-track stream. Used by the "Sinusoids" data panel.
#include "views/track_view.h"

#include <algorithm>
#include <cmath>

#include "views/pixel_canvas.h"
#include "views/toolkit_canvas.h"
#include "views/trace_painting.h"

namespace {

constexpr double FULL_RANGE = 22050.0;

// Calls `take` with the track index, the frame's elements and the row number of each row of a frame's
// first matrix whose track index names one of the 256 slots. Frames without a matrix, matrices without
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
      if (index >= 0 && index < 256) take(index, elements, row);
    }
  });
}

}  // namespace

TrackView::TrackView(int x, int y, int w, int h, SdifStreamCursor* cursor) : SdifView(x, y, w, h, cursor) {
  contrast_curve = std::make_unique<ContrastCurve>(0.3f);
}

void TrackView::draw() { draw_through_canvas(*this); }

template <class Canvas>
void TrackView::paint(Canvas& canvas) {
  paint_traces(*this, canvas, FULL_RANGE);
}

template void TrackView::paint(PixelCanvas&);
template void TrackView::paint(ToolkitCanvas&);

void TrackView::sample_column(double t, double frequencies[256], double amplitudes[256]) {
  double w;
  SdifFrame* current = frame_pair(t, w);
  std::fill(frequencies, frequencies + 256, 0.0);
  std::fill(amplitudes, amplitudes + 256, 0.0);
  if (!current) return;
  // A later row with the same index overwrites the slot.
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
