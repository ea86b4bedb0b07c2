// The Residual panel's view: a spectrogram of the 1STF frames, one band of pixels per frequency
// bin, its brightness from the magnitude of the bin's complex value. Created by the data panel.
#pragma once

#include <FL/Enumerations.H>

#include <algorithm>
#include <cmath>
#include <vector>

#include "views/frame_maps.h"
#include "views/grid.h"
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
//
// On a logarithmic scale the bins' edges 1 to n lie on the logarithm of the bin number (shift 0, so
// screen rows are bins), bin 0 takes the pixel row under bin 1, and the bands are always pixel rows,
// since the bins are tall at the bottom and crowded at the top.
struct SpectrumLayout {
  int first_row = 0, end_row = 0, shift = 0;
  double row_height = 0;
  int height = 0;
  bool dense = false;
  bool logarithmic = false;
  double log_base = 0, log_scale = 1;  // edge e >= 1 at height 1 + (ln e - log_base) / log_scale
  // Pixel rows of a dense layout, from the lowest bin's lower edge up to the highest's upper edge.
  int pixel_rows = 0;

  bool operator==(const SpectrumLayout& o) const {
    return first_row == o.first_row && end_row == o.end_row && shift == o.shift && row_height == o.row_height &&
           height == o.height && dense == o.dense && logarithmic == o.logarithmic && log_base == o.log_base &&
           log_scale == o.log_scale;
  }
  // Height of screen row j's lower edge above the view's bottom edge, in pixels.
  double edge_up(int j) const {
    if (!logarithmic) return j * row_height;
    if (j == 0) return edge_up(1) - 1.0;
    return 1.0 + (std::log(double(j)) - log_base) / log_scale;
  }
  // Height of screen row j's lower edge above the lowest shown one's, in pixel rows, as the drawing
  // maps it: rows beyond the view count as the row just above or below it.
  int rise(int j) const;
  // For the grid: the height of a point `bin` bins up the spectrum (bin k spans k to k + 1), any
  // number of them, and the point at a height; on a logarithmic scale nothing under bin 1 has one.
  double position_up(double bin) const {
    if (!logarithmic) return (bin - shift) * row_height;
    return bin >= 1.0 ? 1.0 + (std::log(bin) - log_base) / log_scale : -HUGE_VAL;
  }
  double bin_at(double up) const {
    return logarithmic ? std::exp(log_base + (up - 1.0) * log_scale) : shift + up / row_height;
  }
};

class ResidualView : public SdifView {
 public:
  ResidualView(int x, int y, int w, int h, SdifStreamCursor* cursor);
  void draw() override;
  void paint_pixels(PixelCanvas& canvas) override;
  void follow(SdifStreamCursor* stream) override;
  // The bin under the point: of the bins whose band covers its pixel row, the one the picture shows
  // there (the highest of a band per bin, the strongest of a row of several).
  bool probe(int x, int y, Probe& out) override;

  // Magnitudes of bins 0..SLOTS-1 at time t; t must not decrease between calls of one drawing, since the
  // cursor only moves forward.
  void sample_column(double t, SlotValues& magnitudes);
  // The picture, through the pixel canvas or straight through the toolkit.
  template <class Canvas>
  void paint(Canvas& canvas);

 private:
  // The layout that the view's size, fractions and scale give `bins` bins; false when nothing shows.
  bool lay_out(int bins, SpectrumLayout& out) const;
  // The frame's bands in the current layout: one per shown bin the frame holds, or one per run of rows.
  void read_bands(const SdifFrame& frame, std::vector<BandMagnitudes>& out) const;
  // The runs of pixel rows of a layout of pixel rows: rows covered by the same bins are one run, since
  // they show the same magnitude (tall bins on a logarithmic scale; otherwise mostly single rows).
  void find_runs();
  template <class Canvas>
  void paint_column(Canvas& canvas, int column, double t, const std::vector<int>& edges);
  // The grid's value lines in the current layout: at the frequencies of the bins' middles where the
  // stream's first frame gives a sample rate and a window size, else at the bins' numbers.
  std::vector<GridLine> value_lines() const;

  SpectrumLayout layout;
  // The bands depend on the layout, so a new layout forgets them; a drawing in time alone keeps them.
  FrameMaps<BandMagnitudes> bands;
  // Window rows of the edges of the shown bins, in a layout of a band per bin.
  std::vector<int> edges;
  // In a layout of pixel rows: the runs, their first and last row from the lowest, and each row's run.
  struct RowRun {
    int first, last;
  };
  std::vector<RowRun> runs;
  std::vector<int> run_of_row;
};

template <class Canvas>
void ResidualView::paint(Canvas& canvas) {
  double t, dt;
  bool has_columns = start_columns(t, dt);
  const double left = t;
  // The first frame's spectrum decides the bin count and so every bin's height, whatever later frames hold.
  int bins = cursor ? static_cast<int>(full_vertical_range(panel_spec(VIEW_RESIDUAL), *cursor)) : 0;

  canvas.color(FL_BLACK);
  canvas.rectf(x(), y(), w(), h());
  canvas.push_clip(x(), y(), w(), h());
  SpectrumLayout now;
  if (has_columns && lay_out(bins, now)) {
    if (!(now == layout)) {
      bands.clear();
      layout = now;
      find_runs();
    }
    bands.begin_redraw();
    edges.clear();
    const ViewRows rows = this->rows();
    if (!layout.dense)
      for (int j = layout.first_row; j <= layout.end_row; ++j) edges.push_back(rows.row_above_bottom(j * layout.row_height));
    for (int column = x(); column < x() + w(); ++column) {
      paint_column(canvas, column, t, edges);
      t += dt;
    }
  }
  canvas.pop_clip();
  if (grid && has_columns) paint_grid(canvas, x(), y(), w(), h(), time_grid(left, dt, w()), value_lines());
}

template <class Canvas>
void ResidualView::paint_column(Canvas& canvas, int column, double t, const std::vector<int>& edges) {
  double w;
  SdifFrame* current = frame_pair(t, w);
  if (!current) return;
  auto [from, to] = bands.pair(*current, current->next_in_stream,
                               [this](const SdifFrame& frame, std::vector<BandMagnitudes>& out) { read_bands(frame, out); });
  if (!layout.dense) {
    // A band only the next frame holds carries only that frame's share; one only this frame holds fades out.
    int count = layout.end_row - layout.first_row;
    for (int i = 0; i < count; ++i) {
      double magnitude = 0.0;
      if (size_t(i) < from.count) magnitude = (1 - w) * from.entries[i].now;
      if (size_t(i) < to.count) magnitude = magnitude + w * to.entries[i].next;
      Fl_Color colour;
      if (!present(magnitude) || !colors.color(magnitude, colour)) continue;
      canvas.color(colour);
      canvas.yxline(column, edges[size_t(i)], edges[size_t(i) + 1]);
    }
    return;
  }
  // A line per run of rows: joining runs of one colour into one line costs more than it saves, since
  // where the colour changes is as hard to foresee as the magnitudes.
  const int bottom = rows().row_above_bottom(layout.edge_up(layout.first_row));
  for (size_t s = 0; s < runs.size(); ++s) {
    double magnitude = (1 - w) * from.entries[s].now;
    if (to.count) magnitude = magnitude + w * to.entries[s].next;
    Fl_Color colour;
    if (!present(magnitude) || !colors.color(magnitude, colour)) continue;
    canvas.color(colour);
    canvas.yxline(column, bottom - runs[s].first, bottom - runs[s].last);
  }
}
