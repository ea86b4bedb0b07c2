// The Residual panel's view: a spectrogram of the 1STF frames, one band of pixels per frequency
// bin, its brightness from the magnitude of the bin's complex value. Created by the data panel.
#pragma once

#include <FL/Enumerations.H>

#include <algorithm>
#include <cmath>

#include "views/panel_table.h"
#include "views/sdif_view.h"

class ResidualView : public SdifView {
 public:
  ResidualView(int x, int y, int w, int h, SdifStreamCursor* cursor);
  void draw() override;
  void paint_pixels(PixelCanvas& canvas) override;

  // Magnitudes of bins 0..SLOTS-1 at time t; t must not decrease between calls of one drawing, since the
  // cursor only moves forward.
  void sample_column(double t, SlotValues& magnitudes);
  // The picture, through the pixel canvas or straight through the toolkit.
  template <class Canvas>
  void paint(Canvas& canvas);
};

template <class Canvas>
void ResidualView::paint(Canvas& canvas) {
  double t, dt;
  bool has_columns = start_columns(t, dt);
  // The first frame's spectrum decides the bin count and so every bin's height, whatever later frames hold.
  int bins = cursor ? static_cast<int>(full_vertical_range(panel_spec(VIEW_RESIDUAL), *cursor)) : 0;
  // The bin count goes through a float on purpose: above 2^24 bins it rounds, and the bands' edges,
  // and so the pictures, depend on that rounding.
  float bins_as_float = static_cast<float>(bins);
  double row_height = h() / static_cast<double>(bins_as_float) / vertical_size;
  double shift = std::trunc(static_cast<double>(bins_as_float) * vertical_position);

  canvas.color(FL_BLACK);
  canvas.rectf(x(), y(), w(), h());
  canvas.push_clip(x(), y(), w(), h());
  // Screen rows j from `lowest` up to `end` show bins j + shift that exist and have a slot; only they
  // can be painted, so only their edges are worked out, once per draw.
  double lowest = std::max(0.0, -shift);
  double end = std::min(static_cast<double>(bins), std::min(bins, SLOTS) - shift);
  if (has_columns && !std::isnan(shift) && lowest < end) {
    int first_row = static_cast<int>(lowest), end_row = static_cast<int>(end), bin_shift = static_cast<int>(shift);
    const ViewRows rows = this->rows();
    const ContrastCurve& curve = *contrast_curve;
    int edges[SLOTS + 1];
    for (int j = first_row; j <= end_row; ++j) edges[j - first_row] = rows.row_above_bottom(j * row_height);
    SlotValues magnitudes;
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
