// The view base: fractions, column times and the frame pair around a time. Used by the pitch, track
// and residual views and by the data panel, which writes the fractions.
#include "views/sdif_view.h"

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
