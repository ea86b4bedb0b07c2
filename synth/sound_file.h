// A mono sound file written through libsndfile onto an open descriptor (an OutputFile's): WAV or
// FLAC, 16- or 24-bit integers or 32-bit floats. Used by sdif-synth.
#pragma once

#include <sndfile.h>

#include <cstddef>
#include <cstdint>
#include <string>

enum class Container { Wav, Flac };
enum class SampleFormat { Pcm16, Pcm24, Float32 };

// "16-bit", "24-bit", "32-bit float".
const char* format_name(SampleFormat format);

class SoundFile {
 public:
  SoundFile() = default;
  SoundFile(const SoundFile&) = delete;
  SoundFile& operator=(const SoundFile&) = delete;
  ~SoundFile();

  // Starts the file on `descriptor`, which stays open. Empty on success, else the reason.
  std::string open(int descriptor, Container container, SampleFormat format, int sample_rate);
  // Appends samples. Integer formats round each to the nearest step and limit it to the format's
  // range, counting the samples so limited; floats are written as they are. Empty or the reason.
  std::string write(const float* samples, size_t count);
  // Completes the file's header. Empty or the reason.
  std::string close();

  // Samples limited to the integer range so far.
  uint64_t clipped() const { return clips; }

 private:
  std::string failure() const;

  SNDFILE* file = nullptr;
  SampleFormat format = SampleFormat::Float32;
  uint64_t clips = 0;
};
