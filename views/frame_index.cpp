// Builds the time index of one stream and searches it. Used by SdifView to move its cursor.
#include "views/frame_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

FrameIndex::FrameIndex(const SdifStreamCursor* cursor) {
  if (!cursor) return;
  for (SdifFrame* frame = cursor->first; frame; frame = frame->next_in_stream) {
    times.push_back(frame->time);
    frames.push_back(frame);
  }
  while (level(highest.size()).size() > FAN) {
    const std::vector<double>& below = level(highest.size());
    std::vector<double> blocks((below.size() + FAN - 1) / FAN, -std::numeric_limits<double>::infinity());
    for (size_t i = 0; i < below.size(); ++i) {
      // A NaN time makes its block's highest time infinite: the walk stops at it.
      double& top = blocks[i / FAN];
      if (std::isnan(below[i])) top = std::numeric_limits<double>::infinity();
      else top = std::max(top, below[i]);
    }
    highest.push_back(std::move(blocks));
  }
}

size_t FrameIndex::first_not_below(size_t start, double t) const {
  // Up: the rest of the block at this level, then the blocks after it one level higher.
  size_t l = 0, i = start;
  for (;;) {
    const std::vector<double>& values = level(l);
    size_t end = std::min((i / FAN + 1) * FAN, values.size());
    for (; i < end; ++i)
      if (!(values[i] < t)) break;
    if (i < end) break;
    if (end == values.size()) return times.size();
    // `end` closes a whole block here, so this is the next block's place one level up.
    i = end / FAN;
    ++l;
  }
  // Down: a block whose highest time is not below t holds a time that is not.
  for (; l > 0; --l) {
    const std::vector<double>& values = level(l - 1);
    i *= FAN;
    while (values[i] < t) ++i;
  }
  return i;
}

size_t FrameIndex::advance(size_t position, double t) const { return first_not_below(position + 1, t) - 1; }
