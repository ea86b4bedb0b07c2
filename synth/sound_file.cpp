// libsndfile's writing, with the rounding to integers done here, so that full scale is exactly 2^15
// (2^23) steps and every clipped sample is counted. The integers go to libsndfile in the top bits of
// 32, which it takes down to the file's width as they are.
#include "synth/sound_file.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t CHUNK = 4096;

}  // namespace

const char* format_name(SampleFormat format) {
  switch (format) {
    case SampleFormat::Pcm16: return "16-bit";
    case SampleFormat::Pcm24: return "24-bit";
    case SampleFormat::Float32: break;
  }
  return "32-bit float";
}

SoundFile::~SoundFile() {
  if (file) sf_close(file);
}

std::string SoundFile::failure() const { return sf_strerror(file); }

std::string SoundFile::open(int descriptor, Container container, SampleFormat sample_format, int sample_rate) {
  format = sample_format;
  SF_INFO info = {};
  info.samplerate = sample_rate;
  info.channels = 1;
  int subtype = format == SampleFormat::Pcm16 ? SF_FORMAT_PCM_16
                : format == SampleFormat::Pcm24 ? SF_FORMAT_PCM_24
                                                : SF_FORMAT_FLOAT;
  info.format = (container == Container::Flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | subtype;
  file = sf_open_fd(descriptor, SFM_WRITE, &info, 0);
  return file ? "" : sf_strerror(nullptr);
}

std::string SoundFile::write(const float* samples, size_t count) {
  if (format == SampleFormat::Float32)
    return sf_write_float(file, samples, sf_count_t(count)) == sf_count_t(count) ? "" : failure();
  const int bits = format == SampleFormat::Pcm16 ? 16 : 24;
  const double full_scale = std::ldexp(1.0, bits - 1);
  int steps[CHUNK];
  for (size_t done = 0; done < count; done += CHUNK) {
    size_t n = std::min(CHUNK, count - done);
    for (size_t i = 0; i < n; ++i) {
      double step = std::nearbyint(samples[done + i] * full_scale);
      if (step < -full_scale || step > full_scale - 1) {
        clips++;
        step = std::clamp(step, -full_scale, full_scale - 1);
      }
      steps[i] = int(step) * (1 << (32 - bits));
    }
    if (sf_write_int(file, steps, sf_count_t(n)) != sf_count_t(n)) return failure();
  }
  return "";
}

std::string SoundFile::close() {
  int code = sf_close(file);
  file = nullptr;
  return code == 0 ? "" : sf_error_number(code);
}
