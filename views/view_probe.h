// What a view shows at one of its points, read from the data as its drawing reads it: the time of the
// point's column, and the trace (a pitch row, a partial) nearest the point in that column or the bin
// under it, with its value and level; where no trace is near, the value at the point's height. Used by
// the viewer's readout and its measuring.
#pragma once

#include <cmath>
#include <cstdint>

// How far from a drawn point, in pixel rows, the pointer still reads that point's trace.
constexpr int SNAP_PIXELS = 4;

struct Probe {
  double time = 0.0;
  double time_step = 0.0;  // between neighbouring columns
  // A trace near the point, or a bin under it; false where the value is the point's height's.
  bool on_data = false;
  int64_t key = 0;           // the pitch row, track index or bin
  double value = 0.0;        // the pitch value or frequency in Hz; the bin, for a spectrum
  double value_step = 0.0;   // of `value`, between neighbouring pixel rows at the point
  double amplitude = NAN;    // the weight, amplitude or magnitude, blended as the column blends it
  double hertz = NAN;        // a bin's frequency, where its frame gives a sample rate and window size
};
