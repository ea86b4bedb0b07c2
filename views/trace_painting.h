// The drawing recipe that the pitch and track views share: one trace per key (a pitch row, a track
// index), a point where a trace starts, and a line in the previous column joining each later point to
// the one before it. Within a column the traces are drawn in ascending key order, so a higher key
// paints over a lower one where they cross.
#pragma once

#include <FL/Enumerations.H>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "views/grid.h"
#include "views/sdif_view.h"

// The marker of a trace without a point in the previous column.
constexpr int no_point = 0x10000000;

// Each trace's point in the previous column, for views whose every column gives every key from 0 to
// SLOTS - 1 (the pitch view): an array indexed by key.
class SlotPoints {
 public:
  SlotPoints() { previous.fill(no_point); }
  void next_column() {}
  int before(int32_t key) const { return previous[size_t(key)]; }
  void set(int32_t key, int y) { previous[size_t(key)] = y; }

 private:
  std::array<int, SLOTS> previous;
};

// The same for any keys, each column giving its own in ascending order (the track view): the points
// of the previous column and of this one, in key order, walked along as the keys come. The lists are
// shared by every drawing on the GUI thread, so that no redraw allocates once the most points a column
// has drawn have been drawn.
class KeyedPoints {
 public:
  KeyedPoints();
  void next_column() {
    std::swap(lists.previous, lists.current);
    lists.current.clear();
    at = 0;
  }
  int before(int32_t key) {
    while (at < lists.previous.size() && lists.previous[at].key < key) ++at;
    if (at == lists.previous.size() || lists.previous[at].key != key) return no_point;
    return lists.previous[at++].y;
  }
  void set(int32_t key, int y) {
    if (y != no_point) lists.current.push_back({key, y});
  }

  struct Point {
    int32_t key;
    int y;
  };
  struct Lists {
    std::vector<Point> previous, current;
  };

 private:
  Lists& lists;
  size_t at = 0;
};

// The columns of paint_traces, with the axis's mapping fixed for the whole drawing, so that a point
// costs no test of which mapping it is.
template <bool LOGARITHMIC, class View, class Canvas>
void paint_trace_columns(View& view, Canvas& canvas, double t, double dt, const ValueAxis& axis) {
  typename View::Points points;
  const ViewRows rows = view.rows();
  const AmplitudeColors& colors = view.colors;
  const double base = axis.base, scale = axis.scale, per_unit = axis.per_unit;
  for (int column = view.x(); column < view.x() + view.w(); ++column) {
    points.next_column();
    // In line wherever the view calls it: a call per point costs the drawing a third of its time, and
    // the compiler's own choice depends on how much else the file that instantiates it holds.
    view.sample_traces(t, [&](int32_t key, double height, double amplitude) __attribute__((always_inline)) {
      // A trace without a point here breaks: its next point starts it again; so does one that a
      // decibel floor hides.
      Fl_Color colour;
      if (!present(amplitude) || !colors.color(amplitude, colour)) {
        points.set(key, no_point);
        return;
      }
      canvas.color(colour);
      // ValueAxis::up, with the mapping chosen once for the drawing.
      int y = rows.row_above_bottom(LOGARITHMIC ? (fast_log(height) - base) * per_unit : (height - base) / scale);
      int before = points.before(key);
      if (before == no_point) {
        canvas.yxline(column, y, y);
      } else {
        canvas.yxline(column - 1, y, before);
      }
      points.set(key, y);
    });
    t += dt;
  }
}

// `full_range` is the value at the top of the whole view height at vertical size 1; `view.sample_traces(t,
// draw)` calls draw(key, height, amplitude) for the traces at time t, keys ascending, and
// View::Points keeps each trace's point in the previous column.
template <class View, class Canvas>
void paint_traces(View& view, Canvas& canvas, double full_range) {
  canvas.color(FL_BLACK);
  canvas.rectf(view.x(), view.y(), view.w(), view.h());
  double t, dt;
  if (!view.start_columns(t, dt)) return;
  const ValueAxis axis = value_axis(view.scale, full_range, view.vertical_position, view.vertical_size, view.h());
  canvas.push_clip(view.x(), view.y(), view.w(), view.h());
  if (axis.logarithmic)
    paint_trace_columns<true>(view, canvas, t, dt, axis);
  else
    paint_trace_columns<false>(view, canvas, t, dt, axis);
  canvas.pop_clip();
  if (!view.grid) return;
  GridValues values = view.scale == VerticalScale::Note ? GridValues::Notes
                      : axis.logarithmic                ? GridValues::Logarithmic
                                                        : GridValues::Linear;
  paint_grid(canvas, view.x(), view.y(), view.w(), view.h(), time_grid(t, dt, view.w()),
             value_grid(values, axis.value_at(0), axis.value_at(view.h()), view.h(),
                        [&](double value) { return axis.up(value); }, false));
}

// The probe of a trace view: the column's traces sampled as the drawing samples them, the drawn point
// nearest (x, y) within SNAP_PIXELS rows, a higher key winning a tie as it is drawn over a lower one.
template <class View>
bool probe_traces(View& view, int x, int y, double full_range, Probe& out) {
  double t, dt;
  if (!view.start_columns(t, dt)) return false;
  out.time = t + (x - view.x()) * dt;
  out.time_step = dt;
  const ValueAxis axis = value_axis(view.scale, full_range, view.vertical_position, view.vertical_size, view.h());
  const ViewRows rows = view.rows();
  int nearest = SNAP_PIXELS + 1;
  view.sample_traces(out.time, [&](int32_t key, double height, double amplitude) {
    Fl_Color colour;
    if (!present(amplitude) || !view.colors.color(amplitude, colour)) return;
    int distance = std::abs(rows.row_above_bottom(axis.up(height)) - y);
    if (distance > nearest) return;
    nearest = distance;
    out.on_data = true;
    out.key = key;
    out.value = height;
    out.amplitude = amplitude;
  });
  // The middle of the pointer's pixel row.
  if (!out.on_data) out.value = axis.value_at(view.y() + view.h() - y + 0.5);
  out.value_step = axis.logarithmic ? out.value * std::expm1(axis.scale) : axis.scale;
  return true;
}
