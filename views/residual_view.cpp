// Samples and draws the short-time spectrum stream. Used by the Residual data panel.
#include "views/residual_view.h"

#include <algorithm>
#include <cmath>

#include "views/pixel_canvas.h"

namespace {

// Calls `take` with the row number and the frame's elements for each of the first SLOTS rows of a
// frame's spectrum. Frames without a second matrix, spectra without the real and
// imaginary columns and spectra without a numeric type contribute nothing.
template <class Take>
void read_bins(const SdifFrame& frame, Take take) {
  const SdifMatrix* matrix = panel_matrix(panel_spec(VIEW_RESIDUAL), frame);
  if (!matrix || matrix->columns < 2) return;
  int rows = std::clamp(matrix->rows, 0, SLOTS);
  matrix->with_elements([&](auto elements) {
    for (int row = 0; row < rows; ++row) take(row, elements);
  });
}

}  // namespace

ResidualView::ResidualView(int x, int y, int w, int h, SdifStreamCursor* cursor) : SdifView(x, y, w, h, cursor) {
  contrast_curve = std::make_unique<ContrastCurve>(panel_spec(VIEW_RESIDUAL).contrast);
}

void ResidualView::draw() { draw_through_canvas(*this); }

void ResidualView::paint_pixels(PixelCanvas& canvas) { paint(canvas); }

void ResidualView::sample_column(double t, SlotValues& magnitudes) {
  double w;
  SdifFrame* current = frame_pair(t, w);
  magnitudes.fill(0.0);
  if (!current) return;
  // The current frame's real part goes through a float and its imaginary part is read in double, the
  // next frame's both go through a float, on purpose: the bands' brightness, and so the pictures,
  // depend on this mix of precisions.
  read_bins(*current, [&](int i, auto elements) {
    double re = elements.as_float(0, i), im = elements.as_double(1, i);
    magnitudes[i] = (1 - w) * std::sqrt(re * re + im * im);
  });
  if (!current->next_in_stream) return;
  read_bins(*current->next_in_stream, [&](int i, auto elements) {
    double re = elements.as_float(0, i), im = elements.as_float(1, i);
    magnitudes[i] = magnitudes[i] + w * std::sqrt(re * re + im * im);
  });
}
