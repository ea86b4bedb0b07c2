// Builds the sparse time index of one stream and searches it. Used by SdifView to move its cursor.
#include "views/frame_index.h"

#include <algorithm>

namespace {

// Frames between index entries: after a search the walk takes at most this many steps, each a
// likely cache miss, and the index of a million-frame stream takes two megabytes.
constexpr int SPACING = 8;

}  // namespace

FrameIndex::FrameIndex(const SdifStreamCursor* cursor) {
  if (!cursor) return;
  int count = 0;
  for (SdifFrame* frame = cursor->first; frame; frame = frame->next_in_stream, ++count) {
    SdifFrame* next = frame->next_in_stream;
    // Written so that a NaN time also counts as out of order.
    if (next && !(next->time >= frame->time)) {
      times.clear();
      frames.clear();
      return;
    }
    if (count % SPACING == 0) {
      times.push_back(frame->time);
      frames.push_back(frame);
    }
  }
}

SdifFrame* FrameIndex::last_before(double t) const {
  size_t below = std::lower_bound(times.begin(), times.end(), t) - times.begin();
  return below == 0 ? nullptr : frames[below - 1];
}
