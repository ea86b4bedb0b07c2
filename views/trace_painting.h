// The drawing recipe that the pitch and track views share: one trace per key (a pitch row, a track
// index), a point where a trace starts, and a line in the previous column joining each later point to
// the one before it. Within a column the traces are drawn in ascending key order, so a higher key
// paints over a lower one where they cross.
#pragma once

#include <FL/Enumerations.H>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

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

// `full_range` is the value span of the whole view height at vertical size 1; `view.sample_traces(t,
// draw)` calls draw(key, height, amplitude) for the traces at time t, keys ascending, and
// View::Points keeps each trace's point in the previous column.
template <class View, class Canvas>
void paint_traces(View& view, Canvas& canvas, double full_range) {
  canvas.color(FL_BLACK);
  canvas.rectf(view.x(), view.y(), view.w(), view.h());
  double t, dt;
  if (!view.start_columns(t, dt)) return;
  double base = view.vertical_position * full_range;
  double scale = view.vertical_size * full_range / view.h();
  canvas.push_clip(view.x(), view.y(), view.w(), view.h());
  typename View::Points points;
  const ViewRows rows = view.rows();
  const ContrastCurve& curve = *view.contrast_curve;
  for (int column = view.x(); column < view.x() + view.w(); ++column) {
    points.next_column();
    // In line wherever the view calls it: a call per point costs the drawing a third of its time, and
    // the compiler's own choice depends on how much else the file that instantiates it holds.
    view.sample_traces(t, [&](int32_t key, double height, double amplitude) __attribute__((always_inline)) {
      // A trace without a point here breaks: its next point starts it again.
      if (!present(amplitude)) {
        points.set(key, no_point);
        return;
      }
      canvas.color(curve.color_index(amplitude));
      int y = rows.row_above_bottom((height - base) / scale);
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
  canvas.pop_clip();
}
