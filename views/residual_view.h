// The Residual panel's view: a spectrogram of the 1STF frames, one band of pixels per frequency
// bin, its brightness from the magnitude of the bin's complex value. Created by the data panel.
#pragma once

#include <FL/Enumerations.H>

#include <algorithm>
#include <cmath>
#include <vector>

#include "views/frame_maps.h"
#include "views/panel_table.h"
#include "views/sdif_view.h"

// One band's magnitude in one frame, as the current frame of a pair reads it and as the next one does.
struct BandMagnitudes {
  double now, next;
};

// Which bins a drawing shows and how. Screen row j (counted from the bottom, in bins) shows bin
// j + shift. Where a bin is a pixel row tall or more, or there are at most SLOTS bins, each bin is a
// band of its own, drawn as it always was; where several of more than SLOTS bins share a pixel row,
// the bands are pixel rows, each holding the largest magnitude among the bins that cover it.
struct SpectrumLayout {
  int first_row = 0, end_row = 0, shift = 0;
  double row_height = 0;
  int height = 0;
  bool dense = false;
  // Pixel rows of a dense layout, from the lowest bin's lower edge up to the highest's upper edge.
  int pixel_rows = 0;

  bool operator==(const SpectrumLayout& o) const {
    return first_row == o.first_row && end_row == o.end_row && shift == o.shift && row_height == o.row_height &&
           height == o.height && dense == o.dense;
  }
  // Height of screen row j's lower edge above the lowest shown one's, in pixel rows, as the drawing
  // maps it: rows beyond the view count as the row just above or below it.
  int rise(int j) const;
};

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

 private:
  // The frame's bands in the current layout: one per shown bin the frame holds, or one per pixel row.
  void read_bands(const SdifFrame& frame, std::vector<BandMagnitudes>& out) const;
  template <class Canvas>
  void paint_column(Canvas& canvas, int column, double t, const std::vector<int>& edges);

  SpectrumLayout layout;
  // The bands depend on the layout, so a new layout forgets them; a drawing in time alone keeps them.
  FrameMaps<BandMagnitudes> bands;
  // Window rows of the edges of the shown bins, in a layout of a band per bin.
  std::vector<int> edges;
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
  // Screen rows j from `lowest` up to `end` show bins j + shift that exist; of those, the ones from
  // the first whose lower edge lies above the view on draw nothing, so they are left out.
  double lowest = std::max(0.0, -shift);
  double end = std::min(static_cast<double>(bins), bins - shift);
  if (row_height > 0) end = std::min(end, std::floor((h() + 1) / row_height) + 2);
  if (has_columns && h() > 0 && row_height > 0 && !std::isnan(shift) && lowest < end) {
    SpectrumLayout now;
    now.first_row = static_cast<int>(lowest);
    now.end_row = static_cast<int>(end);
    now.shift = static_cast<int>(shift);
    now.row_height = row_height;
    now.height = h();
    now.dense = bins > SLOTS && row_height < 1;
    now.pixel_rows = now.dense ? now.rise(now.end_row) + 1 : 0;
    if (!(now == layout)) bands.clear();
    layout = now;
    bands.begin_redraw();
    edges.clear();
    const ViewRows rows = this->rows();
    if (!layout.dense)
      for (int j = layout.first_row; j <= layout.end_row; ++j) edges.push_back(rows.row_above_bottom(j * row_height));
    for (int column = x(); column < x() + w(); ++column) {
      paint_column(canvas, column, t, edges);
      t += dt;
    }
  }
  canvas.pop_clip();
}

template <class Canvas>
void ResidualView::paint_column(Canvas& canvas, int column, double t, const std::vector<int>& edges) {
  double w;
  SdifFrame* current = frame_pair(t, w);
  if (!current) return;
  auto [from, to] = bands.pair(*current, current->next_in_stream,
                               [this](const SdifFrame& frame, std::vector<BandMagnitudes>& out) { read_bands(frame, out); });
  const ContrastCurve& curve = *contrast_curve;
  if (!layout.dense) {
    // A band only the next frame holds carries only that frame's share; one only this frame holds fades out.
    int count = layout.end_row - layout.first_row;
    for (int i = 0; i < count; ++i) {
      double magnitude = 0.0;
      if (size_t(i) < from.count) magnitude = (1 - w) * from.entries[i].now;
      if (size_t(i) < to.count) magnitude = magnitude + w * to.entries[i].next;
      if (!present(magnitude)) continue;
      canvas.color(curve.color_index(magnitude));
      canvas.yxline(column, edges[size_t(i)], edges[size_t(i) + 1]);
    }
    return;
  }
  // A line per pixel row: joining rows of one colour into one line costs more than it saves, since
  // where the colour changes is as hard to foresee as the magnitudes.
  const int bottom = rows().row_above_bottom(layout.first_row * layout.row_height);
  for (int r = 0; r < layout.pixel_rows; ++r) {
    double magnitude = (1 - w) * from.entries[r].now;
    if (to.count) magnitude = magnitude + w * to.entries[r].next;
    if (!present(magnitude)) continue;
    canvas.color(curve.color_index(magnitude));
    canvas.yxline(column, bottom - r, bottom - r);
  }
}
