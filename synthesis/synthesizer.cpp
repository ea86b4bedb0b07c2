// The sample clock over the frame pairs. Samples belong to the pair whose interval holds their time,
// a sample at a frame's time to the pair that starts there; each pair is rendered in segments of at
// most MAX_SEGMENT samples, the edges' fades applied on top.
#include "synthesis/synthesizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Sample counts stay below this, so that sums of them never overflow.
constexpr double SAMPLE_LIMIT = 4.0e18;

}  // namespace

Synthesizer::Synthesizer(const SoundSettings& settings)
    : settings(settings), sound_off(std::numeric_limits<double>::infinity()) {
  if (settings.kind == SoundKind::Partials)
    partials = std::make_unique<PartialTracks>(settings.sample_rate);
  else
    tone = std::make_unique<PitchTone>(settings.harmonics, settings.sample_rate);
  if (settings.ranged) {
    origin_known = true;
    origin = settings.start;
    sound_off = settings.end;
    end_known = true;
    end_sample = sample_at(settings.end);
    overlong = end_sample > settings.max_samples;
  }
}

int64_t Synthesizer::sample_at(double t) const {
  double x = (t - origin) * settings.sample_rate;
  if (!(x > 0.0)) return 0;
  return x < SAMPLE_LIMIT ? int64_t(std::ceil(x)) : int64_t(SAMPLE_LIMIT);
}

double Synthesizer::weight(int64_t sample) const {
  double span = second_time - first_time;
  return span > 0.0 ? (time_of(sample) - first_time) / span : 0.0;
}

double Synthesizer::edge_gain(double t) const {
  return std::clamp(std::min(t - sound_on, sound_off - t) / EDGE_FADE, 0.0, 1.0);
}

bool Synthesizer::begin_frame(double time) {
  if (finished) return false;
  if (!std::isfinite(time)) {
    timeless++;
    return false;
  }
  if (!origin_known) {
    origin_known = true;
    origin = time;
  }
  if (pair == NONE) sound_on = std::max(origin, time);
  if (pair != NONE) time = std::max(time, second_time);
  first_time = second_time;
  second_time = time;
  pending = true;
  if (partials) partials->begin_frame();
  if (tone) tone->begin_frame();
  if (!settings.ranged && sample_at(time + EDGE_FADE) > settings.max_samples) overlong = true;
  return true;
}

void Synthesizer::add_partial(double index, double frequency, double amplitude) {
  if (partials && pending) partials->add_row(index, frequency, amplitude);
}

void Synthesizer::set_pitch(double frequency, double confidence) {
  if (tone && pending) tone->set_estimate(frequency, confidence);
}

void Synthesizer::end_frame() {
  if (!pending) return;
  pending = false;
  pair = pair == NONE ? ONE : TWO;
  if (partials) partials->end_frame();
}

void Synthesizer::cancel_frame() {
  if (!pending) return;
  pending = false;
  if (partials) partials->cancel_frame();
  if (tone) tone->cancel_frame();
  // The frame fed before the dropped one, if any, is now the last.
  pair = pair == NONE ? NONE : HELD;
  end_stream();
}

void Synthesizer::finish() {
  if (pending) return cancel_frame();
  if (finished) return;
  if (pair == ONE || pair == TWO) {
    if (partials) {
      partials->begin_frame();
      partials->cancel_frame();
    }
    if (tone) {
      tone->begin_frame();
      tone->cancel_frame();
    }
    first_time = second_time;
    pair = HELD;
  }
  end_stream();
}

void Synthesizer::end_stream() {
  finished = true;
  if (pair == HELD) sound_off = std::min(sound_off, first_time + EDGE_FADE);
  if (end_known) return;
  end_known = true;
  end_sample = pair == HELD ? sample_at(first_time + EDGE_FADE) : 0;
  overlong = overlong || end_sample > settings.max_samples;
}

size_t Synthesizer::render(float* out, size_t capacity) {
  size_t produced = 0;
  while (produced < capacity && !complete() && !overlong) {
    int64_t boundary = 0;
    bool sounding = false;
    switch (pair) {
      case NONE:
        if (!finished) return produced;
        boundary = end_sample;
        break;
      case ONE:
        boundary = sample_at(second_time);
        break;
      case TWO:
        boundary = sample_at(second_time);
        sounding = true;
        break;
      case HELD:
        boundary = sample_at(first_time + EDGE_FADE);
        sounding = next < boundary;
        if (!sounding) boundary = end_sample;
        break;
    }
    if (end_known) boundary = std::min(boundary, end_sample);
    if (boundary <= next) return produced;
    int samples = int(std::min<int64_t>({int64_t(capacity - produced), MAX_SEGMENT, boundary - next}));
    float* block = out + produced;
    std::memset(block, 0, sizeof(float) * size_t(samples));
    if (sounding) render_pair(block, samples);
    produced += size_t(samples);
    next += samples;
  }
  return produced;
}

void Synthesizer::render_pair(float* out, int samples) {
  Segment segment;
  segment.samples = samples;
  segment.time = time_of(next);
  segment.period = 1.0 / settings.sample_rate;
  segment.first_time = first_time;
  segment.second_time = pair == TWO ? second_time : first_time;
  // The weight just after the segment lies past 1 when the segment ends the pair: the ramps keep the
  // slope of the pair's interpolation to the last sample. Past a single sample there is no slope to
  // keep, and the pair may be far shorter than a sample.
  segment.from = pair == TWO ? weight(next) : 0.0;
  segment.to = pair == TWO && samples > 1 ? weight(next + samples) : segment.from;
  if (partials) partials->render(out, segment);
  if (tone) tone->render(out, segment);
  double last = time_of(next + samples - 1);
  if (segment.time < sound_on + EDGE_FADE || last > sound_off - EDGE_FADE)
    for (int n = 0; n < samples; ++n) out[n] *= float(edge_gain(time_of(next + n)));
}

PartialCounts Synthesizer::partial_counts() const { return partials ? partials->counts() : PartialCounts(); }
