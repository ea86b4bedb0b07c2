// The partials of one 1TRC frame, one per track index in ascending index order: what the track view
// keeps of each frame it draws (in its FrameMaps), so that a drawing reads each frame's rows once
// instead of once per pixel column. Any track index is a partial; a frame may hold millions of rows.
#pragma once

#include <cstdint>
#include <vector>

#include "sdif/sdif_document.h"

struct Partial {
  int32_t index;
  // Read as a 32-bit float, as both frames of a pair use it.
  float frequency;
  // Read in full precision; the next frame of a pair narrows it to a float again.
  double amplitude;
};

// A frame contributes the partials of this many distinct track indices at most: the first met, in
// row order. A column blends two frames, so it draws at least this many and at most twice as many.
constexpr size_t MOST_PARTIALS = 65536;

class PartialReader {
 public:
  // Replaces `out` with the frame's partials, the last row of each track index, in ascending index
  // order. Frames without a matrix, matrices without the index, frequency and amplitude columns,
  // matrices without a numeric type (whose track index is undefined) and rows whose index is NaN,
  // infinite or outside the int range contribute nothing. One pass over the rows.
  void read(const SdifFrame& frame, std::vector<Partial>& out);

 private:
  // Open addressing from track index to place in `out`, for rows out of index order; -1 when empty.
  // Sized for the rows of the frame being read, up to twice MOST_PARTIALS.
  std::vector<int32_t> places;
};
