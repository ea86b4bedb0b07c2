// Samples and draws the short-time spectrum stream. Used by the "Residual" data panel.
#include "views/residual_view.h"

#include <algorithm>
#include <cmath>

#include "views/pixel_canvas.h"
#include "views/toolkit_canvas.h"

namespace {

const SdifMatrix* second_matrix(const SdifFrame* frame) {
  return frame->matrices ? frame->matrices->next : nullptr;
}

// Calls `take` with the row number and the frame's elements for each of the first 256 rows of a
// frame's spectrum, its second matrix. Frames without a second matrix, spectra without the real and
// imaginary columns and spectra without a numeric type contribute nothing.
template <class Take>
void read_bins(const SdifFrame& frame, Take take) {
  const SdifMatrix* matrix = second_matrix(&frame);
  if (!matrix || matrix->columns < 2) return;
  int rows = std::clamp(matrix->rows, 0, 256);
  matrix->with_elements([&](auto elements) {
    for (int row = 0; row < rows; ++row) take(row, elements);
  });
}

}  // namespace

ResidualView::ResidualView(int x, int y, int w, int h, SdifStreamCursor* cursor) : SdifView(x, y, w, h, cursor) {
  contrast_curve = std::make_unique<ContrastCurve>(0.5f);
}

void ResidualView::draw() { draw_through_canvas(*this); }

template <class Canvas>
void ResidualView::paint(Canvas& canvas) {
  double t, dt;
  bool has_columns = start_columns(t, dt);
  // The first frame's spectrum decides the bin count and so every bin's height, whatever later frames hold.
  const SdifMatrix* first = cursor && cursor->first ? second_matrix(cursor->first) : nullptr;
  int bins = first ? std::max(first->rows, 0) : 0;
  float bins_as_float = static_cast<float>(bins);
  double row_height = h() / static_cast<double>(bins_as_float) / vertical_size;
  double shift = std::trunc(static_cast<double>(bins_as_float) * vertical_position);

  canvas.color(FL_BLACK);
  canvas.rectf(x(), y(), w(), h());
  canvas.push_clip(x(), y(), w(), h());
  // Screen rows j from `lowest` up to `end` show bins j + shift that exist and have a slot; only they
  // can be painted, so only their edges are worked out, once per draw.
  double lowest = std::max(0.0, -shift);
  double end = std::min(static_cast<double>(bins), std::min(bins, 256) - shift);
  if (has_columns && !std::isnan(shift) && lowest < end) {
    int first_row = static_cast<int>(lowest), end_row = static_cast<int>(end), bin_shift = static_cast<int>(shift);
    const ViewRows rows = this->rows();
    const ContrastCurve& curve = *contrast_curve;
    int edges[257];
    for (int j = first_row; j <= end_row; ++j) edges[j - first_row] = rows.row_above_bottom(j * row_height);
    double magnitudes[256];
    for (int column = x(); column < x() + w(); ++column) {
      sample_column(t, magnitudes);
      for (int j = first_row; j < end_row; ++j) {
        double magnitude = magnitudes[j + bin_shift];
        if (!present(magnitude)) continue;
        canvas.color(curve.color_index(magnitude));
        canvas.yxline(column, edges[j - first_row], edges[j - first_row + 1]);
      }
      t += dt;
    }
  }
  canvas.pop_clip();
}

template void ResidualView::paint(PixelCanvas&);
template void ResidualView::paint(ToolkitCanvas&);

void ResidualView::sample_column(double t, double magnitudes[256]) {
  double w;
  SdifFrame* current = frame_pair(t, w);
  std::fill(magnitudes, magnitudes + 256, 0.0);
  if (!current) return;
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
