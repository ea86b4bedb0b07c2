// The drawing recipe that the pitch and track views share: one trace per slot, a point where a trace
// starts, and a line in the previous column joining each later point to the one before it.
#pragma once

#include <FL/Enumerations.H>

#include <array>

#include "views/sdif_view.h"

// `full_range` is the value span of the whole view height at vertical size 1; `view.sample_column`
// fills a height and an amplitude for each slot.
template <class View, class Canvas>
void paint_traces(View& view, Canvas& canvas, double full_range) {
  canvas.color(FL_BLACK);
  canvas.rectf(view.x(), view.y(), view.w(), view.h());
  double t, dt;
  if (!view.start_columns(t, dt)) return;
  double base = view.vertical_position * full_range;
  double scale = view.vertical_size * full_range / view.h();
  canvas.push_clip(view.x(), view.y(), view.w(), view.h());
  std::array<int, SLOTS> previous;
  previous.fill(no_point);
  SlotValues heights;
  SlotValues amplitudes;
  const ViewRows rows = view.rows();
  const ContrastCurve& curve = *view.contrast_curve;
  for (int column = view.x(); column < view.x() + view.w(); ++column) {
    view.sample_column(t, heights, amplitudes);
    for (int k = 0; k < SLOTS; ++k) {
      double amplitude = amplitudes[k];
      if (!present(amplitude)) {
        previous[k] = no_point;
        continue;
      }
      canvas.color(curve.color_index(amplitude));
      int y = rows.row_above_bottom((heights[k] - base) / scale);
      if (previous[k] == no_point) {
        canvas.yxline(column, y, y);
      } else {
        canvas.yxline(column - 1, y, previous[k]);
      }
      previous[k] = y;
    }
    t += dt;
  }
  canvas.pop_clip();
}
