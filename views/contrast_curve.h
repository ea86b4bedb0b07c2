// The per-view table that turns a normalised amplitude into one of the ramp's 64 steps, shaped by the
// contrast slider of the view's panel. Each view owns one; the panel refills it when the contrast moves.
#pragma once

#include <cstdint>

#include "views/color_ramp.h"

struct ContrastCurve {
  static constexpr int SIZE = 8192;

  float contrast;
  // Ramp step 0..63 for amplitudes in [i / 8191, (i + 1) / 8191).
  int32_t table[SIZE];

  // Writes the colour ramp if no curve has yet, then fills the table for `contrast`.
  explicit ContrastCurve(float contrast);

  // Recomputes the table from `contrast`.
  void fill();
  // Colour index 64..127 for an amplitude; amplitudes outside [0, 1] count as the nearer end.
  int color_index(double amplitude) const {
    // Written so that NaN, which callers should not pass, also lands on entry 0.
    if (!(amplitude > 0.0)) amplitude = 0.0;
    if (amplitude > 1.0) amplitude = 1.0;
    return RAMP_BASE + table[static_cast<int>(amplitude * (SIZE - 1))];
  }
};
