// Tests of the range slider's arithmetic without a display: the knob computed from the fractions,
// the grip zones of a press, the drag limits and their order, and when the callback runs.
#include <FL/Enumerations.H>
#include <FL/Fl.H>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "app/range_slider.h"
#include "tests/support/fltk_driver.h"

namespace {

struct Seen {
  float size, position;
};

void record(Fl_Widget* widget, void* data) {
  auto* slider = static_cast<RangeSlider*>(widget);
  static_cast<std::vector<Seen>*>(data)->push_back({slider->range_size, slider->range_position});
}

// A slider 430 pixels long (n = 428) away from the window origin, so that a coordinate mix-up shows.
struct Slider {
  RangeSlider widget;
  std::vector<Seen> calls;
  bool horizontal;

  explicit Slider(bool horizontal, int length = 430)
      : widget(horizontal ? 17 : 40, horizontal ? 60 : 23, horizontal ? length : 20, horizontal ? 20 : length),
        horizontal(horizontal) {
    if (horizontal) widget.type(1);
    widget.handle(FL_SHOW);
    widget.callback(record, &calls);
  }
  int origin() const { return horizontal ? widget.x() : widget.y(); }
  void set(float size, float position) {
    widget.range_size = size;
    widget.range_position = position;
    widget.compute_knob();
  }
  // Presses at `offset` from the slider's edge and drags the pointer by `moves`, one step each.
  void drag(int offset, std::vector<int> moves = {}) { EXPECT_TRUE(press_and_drag(&widget, horizontal, offset, moves)); }
  std::pair<int, int> knob() const { return {widget.knob_first, widget.knob_last}; }
};

using Knob = std::pair<int, int>;

}  // namespace

TEST(RangeSlider, KnobFollowsTheFractionsInBothOrientations) {
  Slider across(true), upright(false);
  EXPECT_EQ(across.knob(), Knob(1, 428));
  EXPECT_EQ(upright.knob(), Knob(1, 428));
  across.set(0.5f, 0.25f);
  upright.set(0.5f, 0.25f);
  EXPECT_EQ(across.knob(), Knob(108, 321));  // a = 107, b = 214
  EXPECT_EQ(upright.knob(), Knob(108, 321));  // the last pixel is n - a, counting from the bottom
  upright.set(0.5f, 0.0f);
  EXPECT_EQ(upright.knob(), Knob(215, 428));

  // Pixels are truncated, not rounded.
  Slider short_one(true, 12);
  short_one.set(0.69f, 0.299f);
  EXPECT_EQ(short_one.knob(), Knob(3, 8));

  // Fractions no drag produces give a knob without overflowing: NaN counts as 0, the rest as the
  // nearer of 0 and 1.
  across.set(std::nanf(""), std::nanf(""));
  EXPECT_EQ(across.knob(), Knob(1, 0));
  across.set(3e38f, -3e38f);
  EXPECT_EQ(across.knob(), Knob(1, 428));
  upright.set(-0.5f, 1e30f);
  EXPECT_EQ(upright.knob(), Knob(1, 0));

  // Resizing and showing keep the fractions and scale the knob: n = 213 gives a = 53, b = 106.
  across.set(0.5f, 0.25f);
  across.widget.resize(17, 60, 215, 20);
  EXPECT_EQ(across.knob(), Knob(54, 159));
  upright.set(0.5f, 0.25f);
  upright.widget.resize(40, 23, 20, 215);
  EXPECT_EQ(upright.knob(), Knob(55, 160));
  EXPECT_EQ(upright.widget.range_size, 0.5f);
  EXPECT_EQ(upright.widget.range_position, 0.25f);

  // A creator sets type(1) after construction; the knob is recomputed when the slider is shown.
  RangeSlider late(0, 0, 100, 20);
  late.range_position = 0.5f;
  late.range_size = 0.5f;
  late.type(1);
  late.compute_knob();
  late.range_position = 0.0f;
  EXPECT_EQ(late.handle(FL_SHOW), 1);
  EXPECT_EQ(late.knob_first, 1);
  EXPECT_EQ(late.knob_last, 49);
  EXPECT_EQ(late.range_position, 0.0f);
}

TEST(RangeSlider, FractionsOfADraggedKnobPutAnotherSliderOnTheSamePixels) {
  // A drag stores k/n as the nearest float, which for about half of all k lies just below k/n.
  for (bool horizontal : {true, false}) {
    Slider dragged(horizontal), other(horizontal);
    for (int k = 1; k < 428 - 18; ++k) {
      dragged.set(1.0f, 0.0f);
      dragged.drag(horizontal ? 3 : 426, {horizontal ? k : -k});
      other.set(dragged.widget.range_size, dragged.widget.range_position);
      ASSERT_EQ(other.knob(), dragged.knob()) << "dragged by " << k;
      ASSERT_EQ(dragged.widget.range_size, float(double(428 - k) / 428));
    }
  }
}

TEST(RangeSlider, PressGripsByZoneAndIsAlwaysTaken) {
  for (bool horizontal : {true, false}) {
    Slider slider(horizontal);
    slider.set(0.25f, 0.25f);
    auto [f, l] = slider.knob();
    ASSERT_EQ(l - f, 106);
    const struct {
      int offset, mode;
    } zones[] = {{f - 1, DRAG_NONE},     {f, DRAG_NONE},      {f + 1, DRAG_FIRST_EDGE}, {f + 4, DRAG_FIRST_EDGE},
                 {f + 5, DRAG_WHOLE},    {l - 5, DRAG_WHOLE}, {l - 4, DRAG_LAST_EDGE},  {l - 1, DRAG_LAST_EDGE},
                 {l, DRAG_NONE},         {l + 1, DRAG_NONE},  {-50, DRAG_NONE},         {500, DRAG_NONE}};
    for (auto zone : zones) {
      RangeSlider::drag_mode = -1;
      slider.drag(zone.offset);
      EXPECT_EQ(RangeSlider::drag_mode, zone.mode) << horizontal << " at offset " << zone.offset;
      EXPECT_EQ(RangeSlider::drag_anchor, slider.origin() + zone.offset);
    }
    // Nothing that is not a press or a drag is taken, and a release leaves the mode alone.
    EXPECT_EQ(slider.widget.handle(FL_RELEASE), 0);
    EXPECT_EQ(slider.widget.handle(FL_MOVE), 0);
    EXPECT_EQ(slider.widget.handle(FL_ENTER), 0);
    EXPECT_EQ(slider.widget.handle(FL_KEYBOARD), 0);
    EXPECT_EQ(RangeSlider::drag_mode, DRAG_NONE);
  }
  // For a knob from offset 1 the first end is gripped at offsets 2 to 5; offset 6 scrolls.
  Slider full(true);
  full.drag(5);
  EXPECT_EQ(RangeSlider::drag_mode, DRAG_FIRST_EDGE);
  full.drag(6);
  EXPECT_EQ(RangeSlider::drag_mode, DRAG_WHOLE);
}

TEST(RangeSlider, DragsMoveTheEndsWithinTheirLimits) {
  Slider slider(true);
  // A full knob cannot scroll: d is limited to 0, so no callback and no redraw, but the anchor moves.
  slider.widget.clear_damage();
  slider.drag(200, {+30, -70});
  EXPECT_TRUE(slider.calls.empty());
  EXPECT_EQ(slider.widget.damage(), 0);
  EXPECT_EQ(RangeSlider::drag_anchor, slider.origin() + 160);
  EXPECT_EQ(slider.knob(), Knob(1, 428));

  // The left end: both fractions change, and the callback already sees them.
  slider.drag(3, {+100});
  EXPECT_EQ(slider.knob(), Knob(101, 428));
  ASSERT_EQ(slider.calls.size(), 1u);
  EXPECT_EQ(slider.calls[0].size, float(328.0 / 428));
  EXPECT_EQ(slider.calls[0].position, float(100.0 / 428));
  EXPECT_NE(slider.widget.damage(), 0);

  // No end drag leaves fewer than 18 pixels, from either side.
  slider.drag(103, {+1000});
  EXPECT_EQ(slider.knob(), Knob(411, 428));
  EXPECT_EQ(slider.widget.range_size, float(18.0 / 428));
  slider.drag(426, {-3});  // the right end of an 18-pixel knob, already at its minimum
  EXPECT_EQ(slider.knob(), Knob(411, 428));

  // Against the left end the first end stops at offset 1 and the position is exactly 0; moving the
  // pointer back moves the knob back at once, not once the pointer has returned.
  slider.drag(413, {-1000, +5});
  EXPECT_EQ(slider.knob(), Knob(6, 428));
  slider.drag(8, {-20});
  EXPECT_EQ(slider.widget.range_position, 0.0f);

  // The right end alone changes only the size.
  float position = slider.widget.range_position;
  slider.drag(426, {-300});
  EXPECT_EQ(slider.knob(), Knob(1, 128));
  EXPECT_EQ(slider.widget.range_position, position);
  EXPECT_EQ(slider.widget.range_size, float(128.0 / 428));

  // Scrolling keeps the length and stops at either end of the track.
  slider.drag(60, {+500});
  EXPECT_EQ(slider.knob(), Knob(301, 428));
  EXPECT_NEAR(double(slider.widget.range_position) + slider.widget.range_size, 1.0, 1e-6);
  slider.drag(350, {-1000, +7});
  EXPECT_EQ(slider.knob(), Knob(8, 135));
  slider.drag(60, {-7});
  EXPECT_EQ(slider.widget.range_position, 0.0f);
  EXPECT_EQ(slider.widget.range_size, float(128.0 / 428));
}

TEST(RangeSlider, VerticalFractionsCountFromTheBottom) {
  Slider slider(false);
  // The top end is the first: dragging it down changes only the size.
  slider.drag(3, {+214});
  EXPECT_EQ(slider.knob(), Knob(215, 428));
  EXPECT_EQ(slider.widget.range_size, 0.5f);
  EXPECT_EQ(slider.widget.range_position, 0.0f);
  // The bottom end changes both.
  slider.drag(426, {-100});
  EXPECT_EQ(slider.knob(), Knob(215, 328));
  EXPECT_EQ(slider.widget.range_size, float(114.0 / 428));
  EXPECT_EQ(slider.widget.range_position, float(100.0 / 428));
  // Scrolled to the top, position and size add up to 1.
  slider.drag(270, {-1000});
  EXPECT_EQ(slider.knob(), Knob(1, 114));
  EXPECT_NEAR(double(slider.widget.range_position) + slider.widget.range_size, 1.0, 1e-6);
  EXPECT_EQ(slider.calls.size(), 3u);
}

TEST(RangeSlider, KnobShrunkByAResizeStaysInsideTheTrack) {
  // 0.05 of 428 pixels is 21; after shrinking to n = 98 the knob is 4 pixels long, at offsets 1 to 4.
  Slider left(true);
  left.set(0.05f, 0.0f);
  left.widget.resize(17, 60, 100, 20);
  ASSERT_EQ(left.knob(), Knob(1, 4));
  // Growing it back to 18 pixels would push its first end out of the track: it stays.
  left.drag(3, {+2});
  EXPECT_EQ(left.knob(), Knob(1, 4));
  EXPECT_TRUE(left.calls.empty());

  // A 10-pixel knob at the right end (n = 128), gripped at its last end.
  Slider right(true, 130);
  right.set(10.0f / 128, 118.0f / 128);
  ASSERT_EQ(right.knob(), Knob(119, 128));
  right.drag(125, {-1});
  EXPECT_EQ(right.knob(), Knob(119, 128));
  EXPECT_TRUE(right.calls.empty());

  // Where the track has room, a short knob still grows to 18 pixels on its first end drag.
  Slider middle(true);
  middle.set(0.05f, 0.5f);
  middle.widget.resize(17, 60, 100, 20);
  ASSERT_EQ(middle.knob(), Knob(50, 53));
  middle.drag(51, {+1});
  EXPECT_EQ(middle.knob(), Knob(36, 53));

  // A track shorter than 18 pixels never moves.
  Slider tiny(false, 12);
  tiny.drag(3, {+4, -9});
  tiny.drag(8, {-4});
  EXPECT_EQ(tiny.knob(), Knob(1, 10));
  EXPECT_TRUE(tiny.calls.empty());
}

TEST(RangeSlider, RandomDragsKeepTheKnobInsideAndTheFractionsInRange) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    bool horizontal = random() % 2;
    Slider slider(horizontal, 20 + int(random() % 600));
    int n = (horizontal ? slider.widget.w() : slider.widget.h()) - 2;
    for (int step = 0; step < 40; ++step) {
      if (random() % 10 == 0) {
        int length = 3 + int(random() % 600);
        slider.widget.resize(slider.widget.x(), slider.widget.y(), horizontal ? length : 20, horizontal ? 20 : length);
        n = length - 2;
      }
      slider.drag(int(random() % (n + 10)) - 5, {int(random() % 301) - 150, int(random() % 41) - 20});
      ASSERT_GE(slider.widget.knob_first, 1);
      ASSERT_LE(slider.widget.knob_last, n);
      ASSERT_GE(slider.widget.range_position, 0.0f);
      ASSERT_LE(double(slider.widget.range_position) + slider.widget.range_size, 1.0 + 1e-6);
    }
  }
}
