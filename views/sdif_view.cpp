// The view base: fractions, column times and the frame pair around a time. Used by the pitch, track
// and residual views and by the data panel, which writes the fractions.
#include "views/sdif_view.h"

namespace {

// Steps of the walk after which the frame index is asked to skip the rest.
constexpr int SKIP_AFTER = 4;

}  // namespace

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
  int steps = 0;
  while (current->next_in_stream && t > current->next_in_stream->time) {
    current = current->next_in_stream;
    // Far to go: let the index skip ahead. Where it has entries times never decrease, so an indexed
    // frame later than the current one and earlier than t is one that this walk would reach anyway.
    if (++steps == SKIP_AFTER) {
      SdifFrame* skip = index.last_before(t);
      if (skip && skip->time > current->time) current = skip;
    }
  }
  cursor->current = current;
  if (SdifFrame* next = current->next_in_stream) w = (t - current->time) / (next->time - current->time);
  return current;
}
