// The gain on the way to the file, and the temporary file behind --normalize.
#include "synth/sound_level.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace {

constexpr size_t BLOCK = 4096;

double peak_of(const float* samples, size_t count) {
  float peak = 0.0f;
  for (size_t i = 0; i < count; ++i) peak = std::max(peak, std::fabs(samples[i]));
  return peak;
}

}  // namespace

SoundLevel::SoundLevel(SoundFile& file, double gain_db, bool normalize, double peak_db)
    : file(file), normalize(normalize), target_peak(std::pow(10.0, peak_db / 20)),
      factor(std::pow(10.0, gain_db / 20)) {}

SoundLevel::~SoundLevel() {
  if (spool) std::fclose(spool);
}

std::string SoundLevel::open() {
  if (!normalize) return "";
  spool = std::tmpfile();
  return spool ? "" : std::string("no temporary file for --normalize: ") + std::strerror(errno);
}

std::string SoundLevel::write(float* samples, size_t count) {
  for (size_t i = 0; i < count; ++i) samples[i] = float(samples[i] * factor);
  written_peak = std::max(written_peak, peak_of(samples, count));
  return file.write(samples, count);
}

std::string SoundLevel::take(const float* samples, size_t count) {
  if (normalize) {
    raw_peak = std::max(raw_peak, peak_of(samples, count));
    if (std::fwrite(samples, sizeof(float), count, spool) == count) return "";
    return std::string("temporary file for --normalize: ") + std::strerror(errno);
  }
  float block[BLOCK];
  for (size_t done = 0; done < count; done += BLOCK) {
    size_t n = std::min(BLOCK, count - done);
    std::copy(samples + done, samples + done + n, block);
    std::string reason = write(block, n);
    if (!reason.empty()) return reason;
  }
  return "";
}

std::string SoundLevel::finish() {
  if (!normalize) return "";
  // A silent sound stays as it is.
  factor = raw_peak > 0.0 ? target_peak / raw_peak : 1.0;
  if (std::fflush(spool) != 0 || std::fseek(spool, 0, SEEK_SET) != 0)
    return std::string("temporary file for --normalize: ") + std::strerror(errno);
  float block[BLOCK];
  size_t count;
  while ((count = std::fread(block, sizeof(float), BLOCK, spool)) > 0) {
    std::string reason = write(block, count);
    if (!reason.empty()) return reason;
  }
  if (std::ferror(spool)) return std::string("temporary file for --normalize: ") + std::strerror(errno);
  return "";
}
