// The partials of one 1TRC frame placed in their slots, and the small cache of them that the track
// view keeps, so that a drawing reads each frame's rows once instead of once per pixel column. A
// frame may hold millions of rows; the cache holds a fixed number of frames, never one per frame.
#pragma once

#include <array>
#include <cstdint>

#include "views/sdif_view.h"

// Each slot's partial in one frame: the last row of the frame's matrix with that track index.
struct TrackSlots {
  // Read as 32-bit floats, as both frames of a pair use them.
  std::array<float, SLOTS> frequencies;
  // Read in full precision; the next frame of a pair narrows them to float again.
  std::array<double, SLOTS> amplitudes;
  // The slots that hold a partial, `count` of them; the others' entries are not meaningful.
  std::array<uint8_t, SLOTS> filled;
  int count = 0;

  // Reads the frame's rows. Frames without a matrix, matrices without the index, frequency and
  // amplitude columns, matrices without a numeric type (whose track index is undefined) and rows
  // whose index names no slot contribute nothing.
  void read(const SdifFrame& frame);
};

class TrackSlotCache {
 public:
  // The slots of `frame`, read now unless they are held. The slots returned last stay held through
  // this call, so a column's two frames never push each other out.
  const TrackSlots& of(const SdifFrame& frame);

 private:
  // Neighbouring columns share a frame pair, or the later frame of it when the pair moves on.
  static constexpr int ENTRIES = 2;
  std::array<const SdifFrame*, ENTRIES> frames{};
  std::array<TrackSlots, ENTRIES> slots;
  int last_used = 0;
};
