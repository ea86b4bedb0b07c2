// The drawing recipe that the pitch and track views share: one trace per key (a pitch row, a track
// index), a point where a trace starts, and a line in the previous column joining each later point to
// the one before it. Within a column the traces are drawn in ascending key order, so a higher key
// paints over a lower one where they cross.
#pragma once

#include <FL/Enumerations.H>

#include <cstdint>
#include <vector>

#include "views/sdif_view.h"

// A trace's point in one column: its key and window row.
struct TracePoint {
  int32_t key;
  int y;
};

// The points of the column before and of the column being drawn, kept for every drawing on the GUI
// thread, so that no redraw allocates once the most points a column has drawn have been drawn.
struct TraceColumns {
  std::vector<TracePoint> previous, current;
};
TraceColumns& shared_trace_columns();

// `full_range` is the value span of the whole view height at vertical size 1; `view.sample_traces(t,
// draw)` calls draw(key, height, amplitude) for the traces at time t, keys ascending.
template <class View, class Canvas>
void paint_traces(View& view, Canvas& canvas, double full_range) {
  canvas.color(FL_BLACK);
  canvas.rectf(view.x(), view.y(), view.w(), view.h());
  double t, dt;
  if (!view.start_columns(t, dt)) return;
  double base = view.vertical_position * full_range;
  double scale = view.vertical_size * full_range / view.h();
  canvas.push_clip(view.x(), view.y(), view.w(), view.h());
  TraceColumns& points = shared_trace_columns();
  points.previous.clear();
  const ViewRows rows = view.rows();
  const ContrastCurve& curve = *view.contrast_curve;
  for (int column = view.x(); column < view.x() + view.w(); ++column) {
    points.current.clear();
    size_t before = 0;
    view.sample_traces(t, [&](int32_t key, double height, double amplitude) {
      // A trace without a point here breaks: the next point with its key starts it again.
      if (!present(amplitude)) return;
      canvas.color(curve.color_index(amplitude));
      int y = rows.row_above_bottom((height - base) / scale);
      while (before < points.previous.size() && points.previous[before].key < key) ++before;
      if (before < points.previous.size() && points.previous[before].key == key) {
        canvas.yxline(column - 1, y, points.previous[before].y);
      } else {
        canvas.yxline(column, y, y);
      }
      points.current.push_back({key, y});
    });
    std::swap(points.previous, points.current);
    t += dt;
  }
  canvas.pop_clip();
}
