// Builds the time index of one stream and searches it. Used by SdifView to move its cursor.
#include "views/frame_index.h"

#include <algorithm>

FrameIndex::FrameIndex(const SdifStreamCursor* cursor) {
  if (!cursor) return;
  for (SdifFrame* frame = cursor->first; frame; frame = frame->next_in_stream) {
    SdifFrame* next = frame->next_in_stream;
    // Written so that a NaN time also counts as out of order.
    if (next && !(next->time >= frame->time)) {
      times.clear();
      frames.clear();
      return;
    }
    times.push_back(frame->time);
    frames.push_back(frame);
  }
}

size_t FrameIndex::advance(size_t position, double t) const {
  // The walk stops before the first later frame whose time is not below t (NaN never is below).
  size_t low = position + 1, step = 1;
  while (low < times.size() && times[low] < t) {
    size_t high = std::min(low + step, times.size());
    if (high == times.size() || !(times[high] < t)) {
      low = std::lower_bound(times.begin() + low, times.begin() + high, t) - times.begin();
      break;
    }
    low = high;
    step *= 2;
  }
  return low - 1;
}
