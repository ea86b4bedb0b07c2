// The tone between two estimates: voiced to voiced glides, and a change of voicing holds the voiced
// estimate and fades over VOICING_FADE up to the unvoiced frame or away from it.
#include "synthesis/pitch_tone.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double TWO_PI = 6.283185307179586;

}  // namespace

void PitchTone::begin_frame() {
  if (has_second) first = second;
  second = Estimate();
  has_second = true;
}

void PitchTone::set_estimate(double frequency, double confidence) {
  second.voiced = frequency > 0.0 && std::isfinite(frequency);
  second.frequency = frequency;
  second.level = confidence > 0.0 ? std::min(confidence, 1.0) : 0.0;
}

void PitchTone::set_harmonics(double low, double start, double end, double level_start, double level_end,
                              int samples) {
  // Harmonics at or above half the sample rate all through the pair are not rendered at all; the band
  // gain fades out those that reach it.
  double room = sample_rate / 2 / low;
  int count = room > harmonics ? harmonics : int(std::ceil(room)) - 1;
  while (bank.size() > count) bank.remove(bank.size() - 1);
  while (bank.size() < count) bank.add();
  most = std::max(most, count);
  for (int k = 1; k <= count; ++k) {
    double amplitude_start = level_start * band_gain(k * start, sample_rate) / k;
    double amplitude_end = level_end * band_gain(k * end, sample_rate) / k;
    bank.set_ramp(k - 1, TWO_PI * k * start / sample_rate, TWO_PI * k * (end - start) / sample_rate / samples,
                  amplitude_start, (amplitude_end - amplitude_start) / samples);
  }
}

void PitchTone::render(float* out, const Segment& segment) {
  const Estimate& a = first;
  const Estimate& b = has_second ? second : first;
  if (!a.voiced && !b.voiced) return;
  const int samples = segment.samples;
  if (a.voiced && b.voiced) {
    set_harmonics(std::min(a.frequency, b.frequency), a.frequency + (b.frequency - a.frequency) * segment.from,
                  a.frequency + (b.frequency - a.frequency) * segment.to,
                  a.level + (b.level - a.level) * segment.from, a.level + (b.level - a.level) * segment.to, samples);
    bank.render(out, samples);
    return;
  }
  const Estimate& voiced = a.voiced ? a : b;
  set_harmonics(voiced.frequency, voiced.frequency, voiced.frequency, voiced.level, voiced.level, samples);
  float tone[MAX_SEGMENT] = {};
  bank.render(tone, samples);
  // The voicing rises from the first frame or falls to the second, over the fade or the whole
  // interval when that is shorter.
  double fade = std::min(VOICING_FADE, segment.second_time - segment.first_time);
  for (int n = 0; n < samples; ++n) {
    double t = segment.time + n * segment.period;
    double voicing = (a.voiced ? segment.second_time - t : t - segment.first_time) / fade;
    out[n] += tone[n] * float(std::clamp(voicing, 0.0, 1.0));
  }
}
