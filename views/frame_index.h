// Every frame of a stream with its time, in an array, so that a view finds the frame pair of each
// column by searching times that sit together in memory instead of walking the stream's links. Each
// view builds one for its cursor. Streams whose times step back, or are NaN, are indexed too: the
// search gives the frame that walking the stream gives, wherever the times go.
#pragma once

#include <cstddef>
#include <vector>

#include "sdif/sdif_document.h"

class FrameIndex {
 public:
  explicit FrameIndex(const SdifStreamCursor* cursor);

  bool empty() const { return frames.empty(); }
  SdifFrame* frame(size_t position) const { return frames[position]; }

  // The position that the walk of the frame-pair rule reaches from `position` for time t: forward
  // while the next frame's time is below t. Looks at the times just after `position` first, so
  // nearby answers are found in a few steps, and far ones through the blocks' highest times.
  size_t advance(size_t position, double t) const;

 private:
  // A block holds this many entries of the level below it.
  static constexpr size_t FAN = 64;

  // The first position from `start` on whose time is not below t (NaN never is), or the frame count.
  size_t first_not_below(size_t start, double t) const;
  const std::vector<double>& level(size_t l) const { return l == 0 ? times : highest[l - 1]; }

  std::vector<double> times;
  std::vector<SdifFrame*> frames;
  // highest[l][b]: the highest time in block b of level l (level 0 the times themselves, level l + 1
  // this array), a NaN time counting as infinity, so that a block whose highest time is below t can
  // be passed over whole. Levels are added until one fits in a block.
  std::vector<std::vector<double>> highest;
};
