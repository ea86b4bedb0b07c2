// The range slider's knob arithmetic, its press-and-drag handling and its drawing with the toolkit's
// frames and fills. The panels read the fractions in the callback each drag step invokes.
#include "app/range_slider.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>

int32_t RangeSlider::drag_anchor = 0;
int32_t RangeSlider::drag_mode = DRAG_NONE;

RangeSlider::RangeSlider(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {
  box(FL_THIN_DOWN_FRAME);
  range_size = 1.0f;
  range_position = 0.0f;
  compute_knob();
}

namespace {

// The knob is a raised frame, its outline as wide on every side; inside it, a margin runs along both
// long sides, and each grip ends in a sunken groove.
constexpr Fl_Boxtype KNOB_BOX = FL_THIN_UP_FRAME;
constexpr Fl_Boxtype GROOVE_BOX = FL_THIN_DOWN_FRAME;
constexpr int MARGIN = 1;
constexpr int GROOVE = 2;

// The widths of the frame that `type` draws on the first and on the last side along x, or along y.
struct FrameWidths {
  int first, last;
};

FrameWidths frame_widths(Fl_Boxtype type, bool along_x) {
  int first = along_x ? Fl::box_dx(type) : Fl::box_dy(type);
  return {first, (along_x ? Fl::box_dw(type) : Fl::box_dh(type)) - first};
}

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

int RangeSlider::track_start() const { return frame_widths(box(), horizontal()).first; }

int RangeSlider::track_length() const {
  FrameWidths frame = frame_widths(box(), horizontal());
  return (horizontal() ? w() : h()) - frame.first - frame.last;
}

bool RangeSlider::shorter_than_knob() const {
  int n = track_length();
  return n > MIN_KNOB && pixels(range_size, n) < MIN_KNOB;
}

void RangeSlider::compute_knob() {
  int start = track_start(), n = track_length();
  int a = pixels(range_position, n);
  int b = pixels(range_size, n);
  if (shorter_than_knob()) {
    // The knob's start travels the track less its length as the range's start travels the whole less
    // the range, so the knob meets each end of the track exactly when the range meets that end.
    b = MIN_KNOB;
    a = pixels(float(range_position / (1.0 - double(range_size))), n - MIN_KNOB);
  }
  if (horizontal()) {
    knob_first = start + a;
    knob_last = knob_first + (b - 1);
  } else {
    knob_last = start + n - 1 - a;
    knob_first = knob_last - b + 1;
  }
}

void RangeSlider::press() {
  int v = horizontal() ? Fl::event_x() : Fl::event_y();
  int origin = horizontal() ? x() : y();
  drag_anchor = v;
  drag_mode = DRAG_NONE;
  // The knob's outline grips nothing.
  const int outline = Fl::box_dx(KNOB_BOX);
  const int first = origin + knob_first + outline, last = origin + knob_last - outline;
  if (first <= v && v <= last) {
    if (v < first + GRIP)
      drag_mode = DRAG_FIRST_EDGE;
    else if (v <= last - GRIP)
      drag_mode = DRAG_WHOLE;
    else
      drag_mode = DRAG_LAST_EDGE;
  }
}

bool RangeSlider::move_range(double size, double position) {
  if (!(size > 0.0) || std::isnan(position)) return false;
  size = std::min(size, 1.0);
  position = std::clamp(position, 0.0, 1.0 - size);
  if (float(size) == range_size && float(position) == range_position) return false;
  range_size = float(size);
  range_position = float(position);
  compute_knob();
  do_callback(this, user_data());
  redraw();
  return true;
}

// A range shorter than its knob moves by fractions rather than by the knob's pixels, which would
// round it to whole pixels. The middle moves the range so that the knob follows the pointer; an end
// moves that end by a pixel's share of the whole per pixel, outward only: a drag never shrinks a range
// below the shortest knob, which only the wheel and the keys go past.
void RangeSlider::drag_short_range(int d) {
  const int n = track_length();
  // Along the fractions, which a vertical slider counts from the bottom.
  const double along = horizontal() ? d : -d;
  double size = range_size, position = range_position;
  if (drag_mode == DRAG_WHOLE) {
    position += along * (1.0 - size) / (n - MIN_KNOB);
  } else {
    // The end where the range begins: the left end, or the bottom end of a vertical slider.
    bool low_end = (drag_mode == DRAG_FIRST_EDGE) == horizontal();
    double step = along / n;
    if (low_end && step < 0) {
      position += step;
      size -= step;
    } else if (!low_end && step > 0) {
      size += step;
    }
  }
  move_range(size, position);
}

void RangeSlider::drag() {
  int v = horizontal() ? Fl::event_x() : Fl::event_y();
  int start = track_start(), n = track_length(), end = start + n - 1;
  int d = v - drag_anchor;
  if (drag_mode != DRAG_NONE && d != 0 && shorter_than_knob()) {
    drag_short_range(d);
    drag_anchor = v;
    return;
  }
  // An end drag keeps the knob at least MIN_KNOB pixels long, but where a track shorter than that
  // cannot hold it, the track wins: the knob never leaves it and the fractions stay within 0 to 1.
  // Wherever both can hold, the order of the limits makes no difference.
  if (drag_mode == DRAG_FIRST_EDGE) d = std::min(d, knob_last - knob_first + 1 - MIN_KNOB);
  if (drag_mode == DRAG_LAST_EDGE) d = std::max(d, knob_first - knob_last - 1 + MIN_KNOB);
  if (drag_mode & DRAG_FIRST_EDGE) d = std::max(d, start - knob_first);
  if (drag_mode & DRAG_LAST_EDGE) d = std::min(d, end - knob_last);
  if (drag_mode & DRAG_FIRST_EDGE) knob_first += d;
  if (drag_mode & DRAG_LAST_EDGE) knob_last += d;

  if (drag_mode != DRAG_NONE && d != 0) {
    range_size = float(double(knob_last - knob_first + 1) / n);
    range_position = float(horizontal() ? double(knob_first - start) / n : double(end - knob_last) / n);
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
  const int X = x(), Y = y(), thickness = along_x ? h() : w();
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

  // Inside the slider's frame: the track [start, end) along it and [side, side_end) across it.
  const int start = track_start(), end = start + track_length();
  const FrameWidths across = frame_widths(box(), !along_x);
  const int side = across.first, side_end = thickness - across.last;
  // Inside the knob's outline and margin: the grips at both ends, a groove after each and the middle.
  const int outline = Fl::box_dx(KNOB_BOX);
  const int inner = side + outline + MARGIN, inner_height = side_end - side - 2 * (outline + MARGIN);
  const int first_grip = f + outline, last_grip = l - outline - GRIP + 1;
  const int first_groove = first_grip + GRIP, last_groove = last_grip - GROOVE;

  draw_box();
  frame(KNOB_BOX, f, side, l - f + 1, side_end - side);
  frame(GROOVE_BOX, first_groove, inner, GROOVE, inner_height);
  frame(GROOVE_BOX, last_groove, inner, GROOVE, inner_height);
  fl_color(c);
  fill(start, side, f - start, side_end - side);
  line(f + outline, side + outline, l - outline);
  line(f + outline, side_end - 1 - outline, l - outline);
  fill(first_grip, inner, GRIP, inner_height);
  fill(last_grip, inner, GRIP, inner_height);
  fill(l + 1, side, end - l - 1, side_end - side);
  fill(first_groove + GROOVE, inner, last_groove - first_groove - GROOVE, inner_height);
}
