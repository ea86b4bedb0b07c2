// The partials of one pair of frames, matched by track index as the Sinusoids view matches them,
// each with its oscillator. Used by the synthesizer for 1TRC and 1HRM streams, fed one frame's rows at
// a time; it keeps only the two frames of the pair, whatever the length of the stream.
#pragma once

#include <cstdint>
#include <vector>

#include "synthesis/index_table.h"
#include "synthesis/oscillator_bank.h"
#include "synthesis/segment.h"

// The most distinct track indices in one frame pair. Rows of further indices are skipped and counted,
// so that a frame of any size costs bounded memory (a few megabytes) and time per sample.
constexpr int MAX_PARTIALS = 65536;

// Amplitudes larger than this (120 dB above full scale) are taken as 0, as are those that are not
// finite: no analysis holds them, and the sum of a bank of them would overflow single precision.
constexpr double MAX_AMPLITUDE = 1e6;

// The track index of a column-0 value: truncated toward zero. False for NaN, infinities and values
// outside the int range, which name no track.
bool track_index(double value, int32_t& index);

struct PartialCounts {
  uint64_t started = 0;            // partials born, a track index that comes back counted again
  int most_at_once = 0;            // distinct indices in one frame pair
  uint64_t rows_without_index = 0;
  uint64_t rows_beyond_limit = 0;  // of indices past MAX_PARTIALS in a frame pair
};

class PartialTracks {
 public:
  explicit PartialTracks(double sample_rate) : sample_rate(sample_rate), table(MAX_PARTIALS) {}

  // Starts the next frame: the frame fed last becomes the first of the pair.
  void begin_frame();
  // One row of the frame; a later row with the same index replaces it.
  void add_row(double index, double frequency, double amplitude);
  void end_frame();
  // Drops the frame begun: only the first frame of the pair is left, and it is held.
  void cancel_frame();

  // Adds the segment's samples of every partial to `out`.
  void render(float* out, const Segment& segment);

  const PartialCounts& counts() const { return tally; }

 private:
  // What a partial is in one frame of the pair.
  struct Point {
    double frequency, amplitude;
    bool present;
  };
  void remove(int position);

  double sample_rate;
  // Side by side with the bank's oscillators, position for position.
  std::vector<int32_t> indices;
  std::vector<Point> first, second;
  OscillatorBank bank;
  IndexTable table;
  PartialCounts tally;
};
