// The range slider's knob arithmetic, its press-and-drag handling and its drawing with the toolkit's
// frames and fills. The panels read the fractions in the callback each drag step invokes.
#include "app/range_slider.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>

int32_t RangeSlider::drag_anchor = 0;
int32_t RangeSlider::drag_mode = DRAG_NONE;

RangeSlider::RangeSlider(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {
  box(FL_THIN_DOWN_FRAME);
  range_size = 1.0f;
  range_position = 0.0f;
  compute_knob();
}

namespace {

// Whole pixels in `fraction` of n, truncated. A drag stores k/n rounded to a float, which can land just
// below k/n; the factor lifts a product within that rounding of an integer back to it, so that every
// slider of the same length puts the fractions it is given on the dragged knob's pixels. Products
// further than 2^-22 (relative) below an integer are truncated as they are. Fractions outside 0..1,
// which no drag produces, count as the nearer end (NaN as 0), so that no product overflows an int.
int pixels(float fraction, int n) {
  double product = double(fraction) * n * (1.0 + 0x1p-22);
  if (!(product > 0.0)) return 0;
  return static_cast<int>(std::min(product, double(n)));
}

}  // namespace

void RangeSlider::compute_knob() {
  int n = horizontal() ? w() - 2 : h() - 2;
  int a = pixels(range_position, n);
  int b = pixels(range_size, n);
  if (horizontal()) {
    knob_first = a + 1;
    knob_last = a + b;
  } else {
    knob_last = n - a;
    knob_first = knob_last - b + 1;
  }
}

void RangeSlider::press() {
  int v = horizontal() ? Fl::event_x() : Fl::event_y();
  int origin = horizontal() ? x() : y();
  drag_anchor = v;
  drag_mode = DRAG_NONE;
  // The knob's outermost pixels are its outline and grip nothing.
  if (origin + knob_first < v && v < origin + knob_last) {
    if (v < origin + knob_first + 5)
      drag_mode = DRAG_FIRST_EDGE;
    else if (v <= origin + knob_last - 5)
      drag_mode = DRAG_WHOLE;
    else
      drag_mode = DRAG_LAST_EDGE;
  }
}

void RangeSlider::drag() {
  int v = horizontal() ? Fl::event_x() : Fl::event_y();
  int n = (horizontal() ? w() : h()) - 2;
  int d = v - drag_anchor;
  // An end drag keeps the knob at least 18 pixels long, but where a widget shrunk by a resize cannot
  // hold that inside its track, the track wins: the knob never leaves it and the fractions stay
  // within 0 to 1. Wherever both can hold, the order of the limits makes no difference.
  if (drag_mode == DRAG_FIRST_EDGE) d = std::min(d, knob_last - knob_first - 17);
  if (drag_mode == DRAG_LAST_EDGE) d = std::max(d, knob_first - knob_last + 17);
  if (drag_mode & DRAG_FIRST_EDGE) d = std::max(d, 1 - knob_first);
  if (drag_mode & DRAG_LAST_EDGE) d = std::min(d, n - knob_last);
  if (drag_mode & DRAG_FIRST_EDGE) knob_first += d;
  if (drag_mode & DRAG_LAST_EDGE) knob_last += d;

  if (drag_mode != DRAG_NONE && d != 0) {
    range_size = float(double(knob_last - knob_first + 1) / n);
    range_position = float(horizontal() ? double(knob_first - 1) / n : double(n - knob_last) / n);
    do_callback(this, user_data());
    redraw();
  }
  drag_anchor = v;
}

int RangeSlider::handle(int event) {
  switch (event) {
    case FL_PUSH:
      press();
      return 1;
    case FL_DRAG:
      drag();
      return 1;
    case FL_SHOW:
      compute_knob();
      return 1;
    default:
      return 0;
  }
}

void RangeSlider::resize(int x, int y, int w, int h) {
  Fl_Widget::resize(x, y, w, h);
  compute_knob();
}

void RangeSlider::draw() {
  const bool along_x = horizontal();
  const int X = x(), Y = y(), length = along_x ? w() : h(), thickness = along_x ? h() : w();
  const int f = knob_first, l = knob_last;
  const Fl_Color c = color();
  // Everything below is written for a horizontal slider, with a along the knob and b across it.
  auto frame = [&](Fl_Boxtype type, int a, int b, int p, int q) {
    if (along_x)
      fl_draw_box(type, X + a, Y + b, p, q, c);
    else
      fl_draw_box(type, X + b, Y + a, q, p, c);
  };
  auto fill = [&](int a, int b, int p, int q) {
    if (along_x)
      fl_rectf(X + a, Y + b, p, q);
    else
      fl_rectf(X + b, Y + a, q, p);
  };
  auto line = [&](int a, int b, int e) {
    if (along_x)
      fl_xyline(X + a, Y + b, X + e);
    else
      fl_yxline(X + b, Y + a, Y + e);
  };

  draw_box();
  frame(FL_THIN_UP_FRAME, f, 1, l - f + 1, thickness - 2);
  frame(FL_THIN_DOWN_FRAME, f + 5, 3, 2, thickness - 6);
  frame(FL_THIN_DOWN_FRAME, l - 6, 3, 2, thickness - 6);
  fl_color(c);
  fill(1, 1, f - 1, thickness - 2);
  line(f + 1, 2, l - 1);
  line(f + 1, thickness - 3, l - 1);
  fill(f + 1, 3, 4, thickness - 6);
  fill(l - 4, 3, 4, thickness - 6);
  fill(l + 1, 1, length - l - 2, thickness - 2);
  fill(f + 7, 3, l - f - 13, thickness - 6);
}
