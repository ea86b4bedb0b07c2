// libFuzzer target for sdif-synth's synthesis: each input is read as a file and its stream
// synthesised into memory, the sound bounded to two seconds at a low rate: the stream chosen by
// default, the pitch stream as a tone of many harmonics, and a time range around the start. Every
// sample must be finite and within what the amplitudes allow, and a file that reads must give the
// whole range. Run by scripts/fuzz.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "synth/stream_synthesis.h"
#include "tools/fuzz/fuzz_input.h"

namespace {

constexpr double RATE = 8000;
constexpr int64_t MAX_SAMPLES = 2 * 8000;

void synthesize(const std::string& path, const StreamChoice& choice, SoundSettings settings) {
  settings.sample_rate = RATE;
  settings.max_samples = MAX_SAMPLES;
  int64_t samples = 0;
  // The most a sample can reach: a tone whose harmonics' levels add up to less than 1 + ln(harmonics),
  // or every partial a pair plays at the largest amplitude taken.
  bool tone = choice.type && choice.type->kind == SoundKind::Pitch;
  const double bound = tone ? 1.01 * (1 + std::log(settings.harmonics)) : double(MAX_PARTIALS) * MAX_AMPLITUDE;
  StreamReport report = synthesize_stream(path, choice, settings, [&](const float* block, size_t count) {
    for (size_t i = 0; i < count; ++i)
      if (!(std::fabs(block[i]) <= bound)) std::abort();
    samples += int64_t(count);
    return true;
  });
  if (samples != report.samples) std::abort();
  bool whole = report.outcome == StreamReport::Complete || report.outcome == StreamReport::Cut;
  if (whole && settings.ranged && samples != int64_t(std::ceil((settings.end - settings.start) * RATE))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = write_input(data, size);
  SoundSettings settings;
  synthesize(path, StreamChoice{}, settings);
  StreamChoice pitch;
  pitch.type = playable_type("1FQ0");
  settings.harmonics = 500;
  synthesize(path, pitch, settings);
  settings.ranged = true;
  settings.start = -0.5;
  settings.end = 1.5;
  synthesize(path, StreamChoice{}, settings);
  return 0;
}
