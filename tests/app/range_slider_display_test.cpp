// Tests of the range slider's drawing on the X display: every pixel, read back from an offscreen area,
// for both orientations and several knob positions. Needs a true-colour display.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/range_slider.h"
#include "tests/support/fltk_driver.h"

namespace {

constexpr int AREA = 80;
using Picture = std::vector<std::string>;

// The pixels of an AREA x AREA offscreen area after the slider drew into it, one letter per pixel:
// '.' for the backdrop painted first, 'g' for the slider's gray, 'd' and 'l' for darker and lighter
// shades (the toolkit's frame edges), '?' for anything else.
Picture drawn(RangeSlider& slider) {
  std::vector<unsigned char> pixels = drawn_offscreen(AREA, AREA, [&] { slider.draw(); });

  unsigned char r, g, b;
  Fl::get_color(FL_GRAY, r, g, b);
  Picture rows(AREA, std::string(AREA, '?'));
  for (int i = 0; i < AREA * AREA; ++i) {
    const unsigned char* p = &pixels[3 * i];
    char& name = rows[i / AREA][i % AREA];
    if (std::equal(p, p + 3, BACKDROP))
      name = '.';
    else if (p[0] == r && p[1] == g && p[2] == b)
      name = 'g';
    else if (p[0] == p[1] && p[1] == p[2])
      name = p[0] < r ? 'd' : 'l';
  }
  return rows;
}

// What the slider must look like: a gray track in a sunken 1-pixel frame, and on it a raised knob
// outline with two 2-pixel sunken grooves 5 pixels inside its ends. A thin frame has one shade on its
// top row and left column and the other on its bottom row and right column, which win at the corners.
Picture expected(const RangeSlider& s) {
  Picture rows(AREA, std::string(AREA, '.'));
  const bool horizontal = s.type() == 1;
  auto fill = [&](int x, int y, int w, int h, char shade) {
    for (int row = y; row < y + h; ++row) rows[row].replace(x, w, w, shade);
  };
  // A frame given along the slider's axis (a, p) and across it (b, q), relative to the widget.
  auto frame = [&](int a, int b, int p, int q, char top_left, char bottom_right) {
    int x = s.x() + (horizontal ? a : b), y = s.y() + (horizontal ? b : a);
    int w = horizontal ? p : q, h = horizontal ? q : p;
    fill(x, y, w, 1, top_left);
    fill(x, y, 1, h, top_left);
    fill(x, y + h - 1, w, 1, bottom_right);
    fill(x + w - 1, y, 1, h, bottom_right);
  };
  int across = horizontal ? s.h() : s.w(), length = horizontal ? s.w() : s.h();
  fill(s.x(), s.y(), s.w(), s.h(), 'g');
  frame(0, 0, length, across, 'd', 'l');
  frame(s.knob_first, 1, s.knob_last - s.knob_first + 1, across - 2, 'l', 'd');
  frame(s.knob_first + 5, 3, 2, across - 6, 'd', 'l');
  frame(s.knob_last - 6, 3, 2, across - 6, 'd', 'l');
  return rows;
}

}  // namespace

TEST(RangeSliderDrawing, TrackKnobAndGroovesInBothOrientations) {
  Fl_Window window(AREA, AREA, "sliders");
  show_for_drawing(window);
  const struct {
    float size, position;
    int first, last;  // worked out by hand for a 70-pixel slider (n = 68)
  } knobs[] = {{1.0f, 0.0f, 1, 68}, {0.5f, 0.25f, 18, 51}, {0.3f, 0.7f, 48, 67}, {18.0f / 68, 0.0f, 1, 18}};
  for (bool horizontal : {true, false}) {
    RangeSlider slider(horizontal ? 5 : 30, horizontal ? 10 : 4, horizontal ? 70 : 20, horizontal ? 20 : 70);
    if (horizontal) slider.type(1);
    for (auto knob : knobs) {
      SCOPED_TRACE(testing::Message() << (horizontal ? "horizontal " : "vertical ") << knob.position);
      slider.range_size = knob.size;
      slider.range_position = knob.position;
      slider.compute_knob();
      // A vertical knob is counted from the bottom: its last pixel is n minus the horizontal offset.
      ASSERT_EQ(slider.knob_first, horizontal ? knob.first : 68 - (knob.last - 1));
      ASSERT_EQ(slider.knob_last, horizontal ? knob.last : 68 - (knob.first - 1));
      EXPECT_EQ(drawn(slider), expected(slider));
    }
  }
}
