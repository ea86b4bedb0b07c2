// Every frame of a stream with its time, in an array, so that a view finds the frame pair of each
// column by searching times that sit together in memory instead of walking the stream's links. Each
// view builds one for its cursor.
#pragma once

#include <cstddef>
#include <vector>

#include "sdif/sdif_document.h"

class FrameIndex {
 public:
  // Indexes the cursor's stream when its frame times never decrease; otherwise stays empty, since a
  // search by time would not find the frame that walking the stream finds.
  explicit FrameIndex(const SdifStreamCursor* cursor);

  bool empty() const { return frames.empty(); }
  SdifFrame* frame(size_t position) const { return frames[position]; }

  // The position that the walk of the frame-pair rule reaches from `position` for time t: forward
  // while the next frame's time is below t. Searches outward from `position`, so nearby answers are
  // found in a few steps.
  size_t advance(size_t position, double t) const;

 private:
  std::vector<double> times;
  std::vector<SdifFrame*> frames;
};
