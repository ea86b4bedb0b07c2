// Zooms and pans on shares of the whole, and the time resolution a stream allows.
#include "app/view_navigation.h"

#include <algorithm>

#include "sdif/sdif_document.h"

namespace {

// Below this share of a stream's duration the float fractions can no longer place a view.
constexpr double SHORTEST_SHARE = 1e-6;
// The frames a view at its deepest zoom still spans.
constexpr double FRAMES_AT_DEEPEST = 2.0;

Range within_whole(Range range) {
  range.size = std::min(range.size, 1.0);
  range.position = std::clamp(range.position, 0.0, 1.0 - range.size);
  return range;
}

}  // namespace

Range zoom_around(Range range, double anchor, double factor, double shortest) {
  double size = std::clamp(range.size / factor, std::min(shortest, 1.0), 1.0);
  double fixed = range.position + anchor * range.size;
  return within_whole({fixed - anchor * size, size});
}

Range pan(Range range, double shift) { return within_whole({range.position + shift * range.size, range.size}); }

double shortest_time_range(const SdifStreamCursor& cursor) {
  long frames = 0;
  for (const SdifFrame* frame = cursor.first; frame; frame = frame->next_in_stream) frames++;
  // Frames in an even stream are 1 / (frames - 1) of its duration apart.
  double frame_share = frames > 1 ? FRAMES_AT_DEEPEST / double(frames - 1) : 1.0;
  return std::max(frame_share, SHORTEST_SHARE);
}
