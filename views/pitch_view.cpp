// Samples and draws the fundamental-frequency stream. Used by the "Pitch" data panel.
#include "views/pitch_view.h"

#include <algorithm>
#include <cmath>

#include "views/pixel_canvas.h"
#include "views/toolkit_canvas.h"
#include "views/trace_painting.h"

namespace {

constexpr double FULL_RANGE = 1000.0;

// Value (column 0) and weight (column 1) of a row. Without a numeric type the value is 0 and the weight
// 1, and a matrix without a weight column weighs every row 1; a matrix without columns has no value to
// read, so it counts like one without a numeric type.
void read_row(const SdifMatrix& matrix, int row, double& value, double& weight) {
  float v = 0.0f;
  weight = 1.0;
  if (matrix.numeric() && matrix.columns >= 1) matrix.element_as_float(0, row, v);
  if (matrix.numeric() && matrix.columns >= 2) matrix.element_as_double(1, row, weight);
  value = v;
}

int usable_rows(const SdifMatrix* matrix) { return matrix ? std::clamp(matrix->rows, 0, 256) : 0; }

}  // namespace

PitchView::PitchView(int x, int y, int w, int h, SdifStreamCursor* cursor) : SdifView(x, y, w, h, cursor) {
  contrast_curve = std::make_unique<ContrastCurve>(0.5f);
}

void PitchView::draw() {
  PixelCanvas canvas(x(), y(), w(), h(), shared_picture_storage());
  paint(canvas);
  canvas.show();
}

template <class Canvas>
void PitchView::paint(Canvas& canvas) {
  paint_traces(*this, canvas, FULL_RANGE);
}

template void PitchView::paint(PixelCanvas&);
template void PitchView::paint(ToolkitCanvas&);

void PitchView::sample_column(double t, double values[256], double amplitudes[256]) {
  double w;
  SdifFrame* current = frame_pair(t, w);
  std::fill(values, values + 256, 0.0);
  std::fill(amplitudes, amplitudes + 256, 0.0);
  if (!current) return;
  const SdifMatrix* a = current->matrices;
  for (int i = 0; i < usable_rows(a); ++i) {
    double weight;
    read_row(*a, i, values[i], weight);
    amplitudes[i] = (1 - w) * weight;
  }
  if (!current->next_in_stream) return;
  const SdifMatrix* b = current->next_in_stream->matrices;
  for (int j = 0; j < usable_rows(b); ++j) {
    double value, weight;
    read_row(*b, j, value, weight);
    bool both = values[j] != 0.0 && !std::isnan(values[j]) && value != 0.0 && !std::isnan(value);
    // A row whose value is zero in either frame takes the next frame's value, even a zero one.
    values[j] = both ? (1 - w) * values[j] + w * value : value;
    amplitudes[j] = amplitudes[j] + w * weight;
  }
}
