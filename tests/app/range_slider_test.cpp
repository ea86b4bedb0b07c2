// Tests of the range slider's arithmetic without a display: the knob computed from the fractions, the
// grip zones of a press, the drag limits and their order, and when the callback runs.
#include <FL/Enumerations.H>
#include <FL/Fl.H>

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "app/range_slider.h"
#include "tests/support/fltk_driver.h"

namespace {

using Knob = std::pair<int, int>;

// A slider `length` pixels long, away from the window origin so that a coordinate mix-up shows, that
// counts its callbacks.
struct Slider {
  RangeSlider widget;
  bool horizontal;
  int calls = 0;

  explicit Slider(bool horizontal, int length = 430)
      : widget(horizontal ? 17 : 40, horizontal ? 60 : 23, horizontal ? length : 20, horizontal ? 20 : length),
        horizontal(horizontal) {
    if (horizontal) widget.type(1);
    widget.handle(FL_SHOW);
    widget.callback([](Fl_Widget*, void* calls) { ++*static_cast<int*>(calls); }, &calls);
  }
  Knob set(float size, float position) {
    widget.range_size = size;
    widget.range_position = position;
    widget.compute_knob();
    return knob();
  }
  Knob drag(int offset, std::vector<int> moves = {}) {
    EXPECT_TRUE(press_and_drag(&widget, horizontal, offset, moves));
    return knob();
  }
  Knob knob() const { return {widget.knob_first, widget.knob_last}; }
};

}  // namespace

TEST(RangeSlider, KnobFollowsTheFractions) {
  const struct {
    bool horizontal;
    int length;
    float size, position;
    Knob knob;
  } cases[] = {
      {true, 430, 1.0f, 0.0f, {1, 428}},      {false, 430, 1.0f, 0.0f, {1, 428}},
      {true, 430, 0.5f, 0.25f, {108, 321}},   {false, 430, 0.5f, 0.25f, {108, 321}},  // a = 107, b = 214
      {false, 430, 0.5f, 0.0f, {215, 428}},   // counted from the bottom: the last pixel is n - a
      {true, 12, 0.69f, 0.299f, {3, 8}},      // pixels are truncated, not rounded
      // Fractions no drag produces give a knob without overflowing: NaN counts as 0, the rest as the
      // nearer of 0 and 1.
      {true, 430, NAN, NAN, {1, 18}},         {true, 430, 3e38f, -3e38f, {1, 428}},
      {false, 430, -0.5f, 1e30f, {1, 18}},
      // A range shorter than 18 pixels gets an 18-pixel knob, which meets each end of the track when
      // the range meets that end of the whole, and lies in proportion between.
      {true, 430, 1e-6f, 0.0f, {1, 18}},      {true, 430, 1e-6f, 1.0f - 1e-6f, {411, 428}},
      {true, 430, 0.01f, 0.495f, {206, 223}}, {false, 430, 1e-6f, 0.0f, {411, 428}},
  };
  for (const auto& c : cases) {
    Slider slider(c.horizontal, c.length);
    EXPECT_EQ(slider.set(c.size, c.position), c.knob) << c.horizontal << " " << c.size << " at " << c.position;
  }
  // Resizing keeps the fractions and scales the knob: n = 213 gives a = 53, b = 106.
  for (bool horizontal : {true, false}) {
    Slider slider(horizontal);
    slider.set(0.5f, 0.25f);
    slider.widget.resize(1, 2, horizontal ? 215 : 20, horizontal ? 20 : 215);
    EXPECT_EQ(slider.knob(), horizontal ? Knob(54, 159) : Knob(55, 160));
  }
  // A creator sets type(1) after construction; showing the slider recomputes the knob.
  RangeSlider late(0, 0, 100, 20);
  late.range_size = 0.5f;
  late.type(1);
  EXPECT_EQ(late.handle(FL_SHOW), 1);
  EXPECT_EQ(Knob(late.knob_first, late.knob_last), Knob(1, 49));
}

TEST(RangeSlider, PressGripsByZone) {
  for (bool horizontal : {true, false}) {
    Slider slider(horizontal);
    auto [f, l] = slider.set(0.25f, 0.25f);
    const std::pair<int, int> zones[] = {{f - 1, DRAG_NONE},       {f, DRAG_NONE},       {f + 1, DRAG_FIRST_EDGE},
                                         {f + 4, DRAG_FIRST_EDGE}, {f + 5, DRAG_WHOLE},  {l - 5, DRAG_WHOLE},
                                         {l - 4, DRAG_LAST_EDGE},  {l - 1, DRAG_LAST_EDGE}, {l, DRAG_NONE}};
    for (auto [offset, mode] : zones) {
      slider.drag(offset);
      EXPECT_EQ(RangeSlider::drag_mode, mode) << horizontal << " at offset " << offset;
      EXPECT_EQ(RangeSlider::drag_anchor, (horizontal ? 17 : 23) + offset);
    }
    EXPECT_EQ(slider.widget.handle(FL_RELEASE), 0);
    EXPECT_EQ(slider.widget.handle(FL_MOVE), 0);
  }
}

TEST(RangeSlider, DragsMoveTheEndsWithinTheirLimits) {
  const struct {
    bool horizontal;
    int offset;
    std::vector<int> moves;
    Knob knob;
    int calls;  // so far
    float size, position;  // when not NAN
  } steps[] = {
      // A full knob cannot scroll: no callback.
      {true, 200, {+30, -70}, {1, 428}, 0, NAN, NAN},
      // The left end: both fractions change.
      {true, 3, {+100}, {101, 428}, 1, float(328.0 / 428), float(100.0 / 428)},
      // No end drag leaves fewer than 18 pixels, from either side.
      {true, 103, {+1000}, {411, 428}, 2, float(18.0 / 428), NAN},
      {true, 426, {-3}, {411, 428}, 2, NAN, NAN},
      // Against the left end the first end stops at offset 1; moving back moves the knob back at once.
      {true, 413, {-1000, +5}, {6, 428}, 4, NAN, NAN},
      {true, 8, {-20}, {1, 428}, 5, 1.0f, 0.0f},
      // The right end alone changes only the size.
      {true, 426, {-300}, {1, 128}, 6, float(128.0 / 428), 0.0f},
      // Scrolling keeps the length and stops at either end of the track.
      {true, 60, {+500}, {301, 428}, 7, float(128.0 / 428), float(300.0 / 428)},
      {true, 350, {-1000, +7}, {8, 135}, 9, NAN, NAN},
      // Vertically the top end is the first: dragging it down changes only the size; the bottom end
      // changes both, since fractions count from the bottom.
      {false, 3, {+214}, {215, 428}, 1, 0.5f, 0.0f},
      {false, 426, {-100}, {215, 328}, 2, float(114.0 / 428), float(100.0 / 428)},
      {false, 270, {-1000}, {1, 114}, 3, float(114.0 / 428), float(314.0 / 428)},
  };
  Slider across(true), upright(false);
  for (const auto& step : steps) {
    Slider& slider = step.horizontal ? across : upright;
    slider.widget.clear_damage();
    SCOPED_TRACE(testing::Message() << step.horizontal << ": at " << step.offset);
    int calls = slider.calls;
    EXPECT_EQ(slider.drag(step.offset, step.moves), step.knob);
    EXPECT_EQ(slider.calls, step.calls);
    EXPECT_EQ(slider.widget.damage() != 0, slider.calls != calls) << "redrawn exactly when moved";
    if (!std::isnan(step.size)) {
      EXPECT_EQ(slider.widget.range_size, step.size);
    }
    if (!std::isnan(step.position)) {
      EXPECT_EQ(slider.widget.range_position, step.position);
    }
  }
}

TEST(RangeSlider, RangeShorterThanTheKnobMovesByFractions) {
  const struct {
    bool horizontal;
    int length;
    float size, position;
    int resized;
    int offset, move;
    Knob dragged;
    double size_after, position_after;  // NAN: unchanged
  } cases[] = {
      // 0.05 of 428 pixels is 21; at n = 98 the range is 4 pixels long and gets the 18-pixel knob. Its
      // middle moves the range without changing its size, the knob following the pointer.
      {true, 430, 0.05f, 0.0f, 100, 9, +10, {11, 28}, NAN, 10 * 0.95 / 80},
      {false, 430, 0.05f, 0.0f, 100, 90, -10, {71, 88}, NAN, 10 * 0.95 / 80},
      // A deep zoom at the right end; pressed and moved back by 100 pixels.
      {true, 430, 1e-4f, 1.0f - 1e-4f, 430, 420, -100, {311, 328}, NAN, (1 - 1e-4) * (1 - 100.0 / 410)},
      // Its ends move outward a pixel's share per pixel, and never inward.
      {true, 430, 1e-4f, 0.5f, 430, 208, -10, {201, 218}, 1e-4 + 10.0 / 428, 0.5 - 10.0 / 428},
      {true, 430, 1e-4f, 0.5f, 430, 221, -10, {206, 223}, NAN, NAN},
      {false, 430, 1e-4f, 0.5f, 430, 208, -10, {202, 219}, 1e-4 + 10.0 / 428, NAN},
      // A track shorter than 18 pixels never moves.
      {true, 12, 1.0f, 0.0f, 12, 3, +4, {1, 10}, NAN, NAN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.horizontal << " " << c.size << " at " << c.position << ", " << c.move);
    Slider slider(c.horizontal, c.length);
    slider.set(c.size, c.position);
    if (c.resized != c.length)
      slider.widget.resize(17, 60, c.horizontal ? c.resized : 20, c.horizontal ? 20 : c.resized);
    slider.drag(c.offset);
    EXPECT_EQ(slider.calls, 0) << "no jump on the press";
    EXPECT_EQ(slider.drag(c.offset, {c.move}), c.dragged);
    EXPECT_NEAR(slider.widget.range_size, std::isnan(c.size_after) ? c.size : c.size_after, 1e-7);
    EXPECT_NEAR(slider.widget.range_position, std::isnan(c.position_after) ? c.position : c.position_after, 1e-6);
  }
}

TEST(RangeSlider, MovedRangeStaysInTheWholeAndCallsBackWhenChanged) {
  Slider slider(true);
  const struct {
    double size, position;
    float size_after, position_after;
    int calls;
  } moves[] = {
      {0.25, 0.5, 0.25f, 0.5f, 1},   {0.25, 0.5, 0.25f, 0.5f, 1},  // unchanged: no callback
      {0.25, 0.9, 0.25f, 0.75f, 2},  {0.5, -3, 0.5f, 0.0f, 3},
      {4, 0.5, 1.0f, 0.0f, 4},       {0, 0.5, 1.0f, 0.0f, 4},      {1e-6, 1, 1e-6f, float(1 - 1e-6), 5},
  };
  for (const auto& m : moves) {
    slider.widget.move_range(m.size, m.position);
    EXPECT_EQ(std::make_tuple(slider.widget.range_size, slider.widget.range_position, slider.calls),
              std::make_tuple(m.size_after, m.position_after, m.calls))
        << m.size << " at " << m.position;
  }
}
