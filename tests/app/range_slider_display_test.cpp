// Tests of the range slider's drawing on the X display: every pixel, read back from an offscreen area,
// for both orientations and several knob positions. Needs a true-colour display.
#include <gtest/gtest.h>
// The toolkit's X header defines Xlib macros that clash with names in gtest, so it comes after it.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <string>
#include <vector>

#include "app/range_slider.h"

namespace {

constexpr int AREA = 80;
using Picture = std::vector<std::string>;

// The pixels of an AREA x AREA offscreen area after the slider drew into it, one letter per pixel:
// '.' for the backdrop painted first, 'g' for the slider's gray, 'd' and 'l' for darker and lighter
// shades (the toolkit's frame edges), '?' for anything else.
Picture drawn(RangeSlider& slider) {
  static Fl_Window* window = nullptr;
  if (!window) {
    window = new Fl_Window(AREA, AREA, "sliders");
    window->end();
    window->show();
    while (!window->shown()) Fl::wait(0.1);
  }
  window->make_current();
  Fl_Offscreen area = fl_create_offscreen(AREA, AREA);
  fl_begin_offscreen(area);
  const unsigned char backdrop[3] = {20, 200, 220};
  fl_color(backdrop[0], backdrop[1], backdrop[2]);
  fl_rectf(0, 0, AREA, AREA);
  slider.draw();
  std::vector<unsigned char> pixels(AREA * AREA * 3);
  fl_read_image(pixels.data(), 0, 0, AREA, AREA);
  fl_end_offscreen();
  fl_delete_offscreen(area);

  unsigned char r, g, b;
  Fl::get_color(FL_GRAY, r, g, b);
  Picture rows(AREA, std::string(AREA, '?'));
  for (int y = 0; y < AREA; ++y)
    for (int x = 0; x < AREA; ++x) {
      const unsigned char* p = &pixels[3 * (y * AREA + x)];
      char& name = rows[y][x];
      if (p[0] == backdrop[0] && p[1] == backdrop[1] && p[2] == backdrop[2])
        name = '.';
      else if (p[0] == r && p[1] == g && p[2] == b)
        name = 'g';
      else if (p[0] == p[1] && p[1] == p[2])
        name = p[0] < r ? 'd' : 'l';
    }
  return rows;
}

// What the slider must look like, built from its parts: a gray track in a sunken 1-pixel frame, and
// on it a raised knob outline with two 2-pixel sunken grooves 5 pixels inside its ends. A thin frame
// has one shade on its top row and left column and the other on its bottom row and right column,
// which win at the corners.
struct Expected {
  Picture rows = Picture(AREA, std::string(AREA, '.'));
  bool horizontal;

  void fill(int x, int y, int w, int h, char shade) {
    for (int row = y; row < y + h; ++row)
      for (int column = x; column < x + w; ++column) rows[row][column] = shade;
  }
  void frame(int x, int y, int w, int h, char top_left, char bottom_right) {
    fill(x, y, w, 1, top_left);
    fill(x, y, 1, h, top_left);
    fill(x, y + h - 1, w, 1, bottom_right);
    fill(x + w - 1, y, 1, h, bottom_right);
  }
  // A frame given along the slider's axis (a, p) and across it (b, q), relative to the widget.
  void part(const RangeSlider& s, int a, int b, int p, int q, char top_left, char bottom_right) {
    if (horizontal)
      frame(s.x() + a, s.y() + b, p, q, top_left, bottom_right);
    else
      frame(s.x() + b, s.y() + a, q, p, top_left, bottom_right);
  }

  explicit Expected(const RangeSlider& s) : horizontal(s.type() == 1) {
    int across = horizontal ? s.h() : s.w();
    int f = s.knob_first, l = s.knob_last;
    fill(s.x(), s.y(), s.w(), s.h(), 'g');
    frame(s.x(), s.y(), s.w(), s.h(), 'd', 'l');
    part(s, f, 1, l - f + 1, across - 2, 'l', 'd');
    part(s, f + 5, 3, 2, across - 6, 'd', 'l');
    part(s, l - 6, 3, 2, across - 6, 'd', 'l');
  }
};

std::string differences(const Picture& seen, const Picture& expected) {
  std::string out;
  for (int y = 0; y < AREA; ++y)
    if (seen[y] != expected[y]) out += "row " + std::to_string(y) + "\n  seen " + seen[y] + "\n  want " + expected[y] + "\n";
  return out;
}

}  // namespace

TEST(RangeSliderDrawing, TrackKnobAndGroovesInBothOrientations) {
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
      int first = horizontal ? knob.first : 68 - (knob.last - 1), last = horizontal ? knob.last : 68 - (knob.first - 1);
      ASSERT_EQ(slider.knob_first, first);
      ASSERT_EQ(slider.knob_last, last);
      Picture seen = drawn(slider);
      EXPECT_EQ(seen, Expected(slider).rows) << differences(seen, Expected(slider).rows);
    }
  }
}
