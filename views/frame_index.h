// Every 8th frame of a stream with its time, so that a view zoomed into a late part of a long stream
// finds its first frame pair without walking the whole stream. Each view builds one for its cursor.
#pragma once

#include <vector>

#include "sdif/sdif_document.h"

class FrameIndex {
 public:
  // Indexes the cursor's stream when its frame times never decrease; otherwise stays empty, since a
  // search by time would not find the frame that walking the stream finds.
  explicit FrameIndex(const SdifStreamCursor* cursor);

  // The latest indexed frame whose time is below t, or null.
  SdifFrame* last_before(double t) const;

 private:
  std::vector<double> times;
  std::vector<SdifFrame*> frames;
};
