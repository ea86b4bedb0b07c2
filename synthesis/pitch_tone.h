// The tone that makes a 1FQ0 stream heard: a sine at the estimated frequency with its harmonics, at
// the level of the estimate's confidence, silent where the estimate is unvoiced. Used by the
// synthesizer, fed one estimate per frame.
#pragma once

#include "synthesis/oscillator_bank.h"
#include "synthesis/segment.h"

// The most harmonics a tone may have; only those below half the sample rate are rendered.
constexpr int MAX_HARMONICS = 65536;
// How long the tone takes to fall silent before an unvoiced frame and to rise after one, so that the
// gap neither clicks nor glides through 0 Hz.
constexpr double VOICING_FADE = 0.005;

class PitchTone {
 public:
  // Harmonic k sounds at k times the estimate with 1/k of the level: a pure sine for 1 harmonic.
  PitchTone(int harmonics, double sample_rate) : harmonics(harmonics), sample_rate(sample_rate) {}

  // Starts the next frame, unvoiced until it gets an estimate; the frame fed last becomes the first
  // of the pair.
  void begin_frame();
  // The frame's estimate: unvoiced unless the frequency is finite and above 0 Hz. The confidence,
  // limited to 0..1 (NaN giving 0), is the level.
  void set_estimate(double frequency, double confidence);
  // Drops the frame begun: only the first frame of the pair is left, and it is held.
  void cancel_frame() { has_second = false; }

  // Adds the segment's samples of the tone to `out`.
  void render(float* out, const Segment& segment);

  // The most harmonics below half the sample rate in one segment.
  int most_harmonics() const { return most; }

 private:
  struct Estimate {
    double frequency = 0.0, level = 0.0;
    bool voiced = false;
  };
  // Sets the bank to the harmonics of a fundamental that goes from `start` to `end` Hz with a level
  // from `level_start` to `level_end` over the segment, in a pair whose lower frequency is `low`.
  void set_harmonics(double low, double start, double end, double level_start, double level_end, int samples);

  int harmonics;
  double sample_rate;
  Estimate first, second;
  bool has_second = false;
  OscillatorBank bank;
  int most = 0;
};
