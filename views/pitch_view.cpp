// Samples and draws the fundamental-frequency stream. Used by the Pitch data panel.
#include "views/pitch_view.h"

#include <algorithm>
#include <cmath>

#include "views/pixel_canvas.h"

namespace {

// Calls `take` with the row number, value (column 0) and weight (column 1) of each of the first SLOTS
// rows of a frame's matrix. Without a numeric type every value is 0 and every weight 1, and a
// matrix without a weight column weighs every row 1; a matrix without columns has no value to read,
// so it counts like one without a numeric type.
template <class Take>
void read_rows(const SdifFrame& frame, Take take) {
  const SdifMatrix* matrix = panel_matrix(panel_spec(VIEW_PITCH), frame);
  if (!matrix) return;
  int rows = std::clamp(matrix->rows, 0, SLOTS);
  bool values = matrix->columns >= 1, weights = matrix->columns >= 2;
  bool numeric = values && matrix->with_elements([&](auto elements) {
    for (int i = 0; i < rows; ++i) take(i, elements.as_float(0, i), weights ? elements.as_double(1, i) : 1.0);
  });
  if (!numeric)
    for (int i = 0; i < rows; ++i) take(i, 0.0f, 1.0);
}

}  // namespace

PitchView::PitchView(int x, int y, int w, int h, SdifStreamCursor* cursor) : SdifView(x, y, w, h, cursor) {
  start_contrast(panel_spec(VIEW_PITCH).contrast);
}

void PitchView::draw() { draw_through_canvas(*this); }

void PitchView::paint_pixels(PixelCanvas& canvas) { paint(canvas); }

void PitchView::sample_column(double t, SlotValues& values, SlotValues& amplitudes) {
  double w;
  SdifFrame* current = frame_pair(t, w);
  values.fill(0.0);
  amplitudes.fill(0.0);
  if (!current) return;
  read_rows(*current, [&](int i, float value, double weight) {
    values[i] = value;
    amplitudes[i] = (1 - w) * weight;
  });
  if (!current->next_in_stream) return;
  read_rows(*current->next_in_stream, [&](int j, float value, double weight) {
    bool both = present(values[j]) && present(value);
    // A row whose value is zero in either frame takes the next frame's value, even a zero one.
    values[j] = both ? (1 - w) * values[j] + w * value : value;
    amplitudes[j] = amplitudes[j] + w * weight;
  });
}
