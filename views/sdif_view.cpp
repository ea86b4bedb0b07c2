// The view base: fractions, column times and the frame pair around a time. Used by the pitch, track
// and residual views and by the data panel, which writes the fractions.
#include "views/sdif_view.h"

#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "views/pixel_canvas.h"

SdifView::SdifView(int x, int y, int w, int h, SdifStreamCursor* cursor)
    : Fl_Widget(x, y, w, h),
      cursor(cursor),
      time_position(0.0f),
      time_size(1.0f),
      vertical_position(0.0f),
      vertical_size(1.0f),
      index(cursor) {}

void SdifView::draw() {}

bool SdifView::start_columns(double& t, double& dt) {
  if (!cursor) return false;
  cursor->current = cursor->first;
  if (!cursor->first || w() <= 0) return false;
  double duration = cursor->last->time - cursor->first->time;
  t = cursor->first->time + time_position * duration;
  dt = time_size * duration / w();
  return true;
}

SdifFrame* SdifView::frame_pair(double t, double& w) {
  w = 0.0;
  SdifFrame* current = cursor ? cursor->current : nullptr;
  if (!current) return nullptr;
  // The index knows where the cursor is if this view put it there, or if it is at the start;
  // otherwise the cursor walks.
  if (current == cursor->first) position = 0;
  if (!index.empty() && index.frame(position) == current) {
    position = index.advance(position, t);
    current = index.frame(position);
  } else {
    while (current->next_in_stream && t > current->next_in_stream->time) current = current->next_in_stream;
  }
  cursor->current = current;
  if (SdifFrame* next = current->next_in_stream) w = (t - current->time) / (next->time - current->time);
  return current;
}

void SdifView::start_contrast(float contrast) {
  contrast_curve = std::make_unique<ContrastCurve>(contrast);
  colors.set(amplitude_scale, color_map, *contrast_curve);
}

void SdifView::follow(SdifStreamCursor* stream) {
  cursor = stream;
  index = FrameIndex(stream);
  position = 0;
}

namespace {

// The line's colour, which none of the colour maps holds, so that it shows over every picture.
const Fl_Color LINE_COLOR = fl_rgb_color(255, 0, 255);
// The damage a moved line gives the view: only it, not the stream's picture, needs drawing.
constexpr unsigned char LINE_MOVED = FL_DAMAGE_USER1;
constexpr int RGB = 3;

}  // namespace

void SdifView::show_line(int x0, int y0, int x1, int y1) {
  if (kept.empty() && window() && window()->shown()) {
    kept.resize(size_t(w()) * size_t(h()) * RGB);
    window()->make_current();
    fl_read_image(kept.data(), x(), y(), w(), h());
  }
  line_shown = true;
  line[0] = x0;
  line[1] = y0;
  line[2] = x1;
  line[3] = y1;
  damage(LINE_MOVED);
}

void SdifView::hide_line() {
  line_shown = false;
  damage(LINE_MOVED);
}

bool SdifView::draw_line_only() {
  if (damage() != LINE_MOVED || kept.size() != size_t(w()) * size_t(h()) * RGB) return false;
  fl_draw_image(kept.data(), x(), y(), w(), h());
  if (line_shown)
    draw_line();
  else
    kept.clear();
  return true;
}

void SdifView::keep_under_line(const PixelCanvas& canvas) {
  if (!line_shown) {
    kept.clear();
    return;
  }
  kept.resize(size_t(w()) * size_t(h()) * RGB);
  for (int row = 0; row < h(); ++row)
    for (int column = 0; column < w(); ++column)
      std::copy_n(canvas.pixel(x() + column, y() + row), RGB, &kept[(size_t(row) * size_t(w()) + size_t(column)) * RGB]);
  draw_line();
}

void SdifView::draw_line() const {
  fl_push_clip(x(), y(), w(), h());
  fl_color(LINE_COLOR);
  fl_line(line[0], line[1], line[2], line[3]);
  fl_pop_clip();
}
