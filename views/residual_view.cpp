// Samples and draws the short-time spectrum stream. Used by the Residual data panel.
#include "views/residual_view.h"

#include <algorithm>
#include <cmath>

#include "views/pixel_canvas.h"

namespace {

// Calls take(i, now, next) for bins first + i, i from 0 while below `count`, that the frame's spectrum
// holds: the bin's magnitude as the current frame of a pair reads it (real part through a float,
// imaginary part in double) and as the next frame does (both through a float). These precisions
// are on purpose: the bands' brightness, and so the pictures, depend on them. Frames without a second
// matrix, spectra without the real and imaginary columns and spectra without a numeric type
// contribute nothing.
template <class Take>
void read_magnitudes(const SdifFrame& frame, int first, int count, Take take) {
  const SdifMatrix* matrix = panel_matrix(panel_spec(VIEW_RESIDUAL), frame);
  if (!matrix || matrix->columns < 2) return;
  int end = std::clamp(matrix->rows - first, 0, count);
  matrix->with_elements([&](auto elements) {
    for (int i = 0; i < end; ++i) {
      double re = elements.as_float(0, first + i), im = elements.as_double(1, first + i);
      float narrow = elements.as_float(1, first + i);
      double now = std::sqrt(re * re + im * im);
      // Most spectra are floats already, and then both magnitudes are one.
      take(i, now, narrow == im ? now : std::sqrt(re * re + double(narrow) * narrow));
    }
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
  read_magnitudes(*current, 0, SLOTS, [&](int i, double now, double) { magnitudes[size_t(i)] = (1 - w) * now; });
  if (!current->next_in_stream) return;
  read_magnitudes(*current->next_in_stream, 0, SLOTS,
                  [&](int i, double, double next) { magnitudes[size_t(i)] = magnitudes[size_t(i)] + w * next; });
}

int SpectrumLayout::rise(int j) const {
  const ViewRows rows = {-1, height, height + 1.0};
  return rows.row_above_bottom(first_row * row_height) - rows.row_above_bottom(j * row_height);
}

void ResidualView::read_bands(const SdifFrame& frame, std::vector<BandMagnitudes>& out) const {
  const int first_bin = layout.first_row + layout.shift, count = layout.end_row - layout.first_row;
  if (!layout.dense) {
    read_magnitudes(frame, first_bin, count, [&](int, double now, double next) { out.push_back({now, next}); });
    return;
  }
  // Each pixel row holds the largest magnitude among the bins whose band covers it, edges included,
  // NaN left out; 0 where none does.
  out.assign(size_t(layout.pixel_rows), {0.0, 0.0});
  int low = 0;
  read_magnitudes(frame, first_bin, count, [&](int i, double now, double next) {
    int high = layout.rise(layout.first_row + i + 1);
    for (int r = low; r <= high; ++r) {
      BandMagnitudes& band = out[size_t(r)];
      if (now > band.now) band.now = now;
      if (next > band.next) band.next = next;
    }
    low = high;
  });
}
