// Samples and draws the sinusoidal-track stream. Used by the "Sinusoids" data panel.
#include "views/track_view.h"

#include <algorithm>
#include <cmath>

#include "views/pixel_canvas.h"
#include "views/toolkit_canvas.h"
#include "views/trace_painting.h"

namespace {

constexpr double FULL_RANGE = 22050.0;

// A frame's partials, or null when it has none that can be read: without a matrix, without the
// index, frequency and amplitude columns, or without a numeric type (whose track index is undefined).
const SdifMatrix* partials(const SdifFrame* frame) {
  const SdifMatrix* matrix = frame->matrices;
  return matrix && matrix->numeric() && matrix->columns >= 3 ? matrix : nullptr;
}

// Track index of a row, or -1 when it does not name one of the 256 slots.
int slot(const SdifMatrix& matrix, int row) {
  int32_t index = -1;
  matrix.element_as_int(0, row, index);
  return index >= 0 && index < 256 ? index : -1;
}

}  // namespace

TrackView::TrackView(int x, int y, int w, int h, SdifStreamCursor* cursor) : SdifView(x, y, w, h, cursor) {
  contrast_curve = std::make_unique<ContrastCurve>(0.3f);
}

void TrackView::draw() {
  PixelCanvas canvas(x(), y(), w(), h(), shared_picture_storage());
  paint(canvas);
  canvas.show();
}

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
  if (const SdifMatrix* a = partials(current)) {
    for (int i = 0; i < a->rows; ++i) {
      int k = slot(*a, i);
      if (k < 0) continue;
      float frequency = 0.0f;
      double amplitude = 0.0;
      a->element_as_float(1, i, frequency);
      a->element_as_double(2, i, amplitude);
      frequencies[k] = frequency;
      amplitudes[k] = (1 - w) * amplitude;
    }
  }
  const SdifMatrix* b = current->next_in_stream ? partials(current->next_in_stream) : nullptr;
  if (!b) return;
  for (int j = 0; j < b->rows; ++j) {
    int k = slot(*b, j);
    if (k < 0) continue;
    float frequency = 0.0f, amplitude = 0.0f;
    b->element_as_float(1, j, frequency);
    b->element_as_float(2, j, amplitude);
    bool both = frequencies[k] != 0.0 && !std::isnan(frequencies[k]) && frequency != 0.0f && !std::isnan(frequency);
    // A slot whose frequency is zero in either frame takes the next frame's frequency, even a zero one.
    frequencies[k] = both ? (1 - w) * frequencies[k] + w * frequency : frequency;
    amplitudes[k] = amplitudes[k] + w * amplitude;
  }
}
