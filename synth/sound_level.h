// The level of the sound sdif-synth writes: each block scaled by the gain on its way to the sound
// file, its peak kept; with --normalize the unscaled samples wait in a temporary file until the
// whole sound's peak gives the gain, so that memory stays bounded whatever the sound's length.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "synth/sound_file.h"

class SoundLevel {
 public:
  // `gain_db` scales every sample; with `normalize` it is ignored and the peak goes to `peak_db`.
  SoundLevel(SoundFile& file, double gain_db, bool normalize, double peak_db);
  SoundLevel(const SoundLevel&) = delete;
  SoundLevel& operator=(const SoundLevel&) = delete;
  ~SoundLevel();

  // Empty on success, else the reason.
  std::string open();
  // Takes the next block of the sound. Empty or the reason.
  std::string take(const float* samples, size_t count);
  // Writes what waits for the peak. Empty or the reason.
  std::string finish();

  // The gain applied, as a factor, once finished; and the peak of the samples written.
  double gain() const { return factor; }
  double peak() const { return written_peak; }

 private:
  std::string write(float* samples, size_t count);

  SoundFile& file;
  bool normalize;
  double target_peak;
  double factor;
  double raw_peak = 0.0;
  double written_peak = 0.0;
  FILE* spool = nullptr;
};
