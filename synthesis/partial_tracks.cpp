// The Sinusoids view's rule between two frames, as oscillator ramps: a partial in both frames glides
// from one to the other, one in a single frame fades in or out across the interval at that frame's
// frequency, and a frequency of zero or NaN in either frame gives way to the second frame's.
#include "synthesis/partial_tracks.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double TWO_PI = 6.283185307179586;

// A frequency that can be interpolated: neither zero nor NaN.
bool present(double frequency) { return std::fabs(frequency) > 0.0; }

}  // namespace

bool track_index(double value, int32_t& index) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return false;
  index = int32_t(value);
  return true;
}

void PartialTracks::begin_frame() {
  for (int position = bank.size() - 1; position >= 0; --position)
    if (!second[size_t(position)].present) remove(position);
  for (size_t position = 0; position < indices.size(); ++position) {
    first[position] = second[position];
    second[position].present = false;
  }
}

void PartialTracks::add_row(double index_value, double frequency, double amplitude) {
  int32_t index;
  if (!track_index(index_value, index)) {
    tally.rows_without_index++;
    return;
  }
  int position = table.find(index);
  if (position < 0) {
    if (bank.size() == MAX_PARTIALS) {
      tally.rows_beyond_limit++;
      return;
    }
    position = bank.size();
    indices.push_back(index);
    first.push_back({0.0, 0.0, false});
    second.push_back({0.0, 0.0, false});
    bank.add();
    table.put(index, position);
  }
  if (!(std::fabs(amplitude) <= MAX_AMPLITUDE)) amplitude = 0.0;
  second[size_t(position)] = {frequency, amplitude, true};
}

void PartialTracks::end_frame() {
  for (size_t position = 0; position < indices.size(); ++position)
    if (second[position].present && !first[position].present) tally.started++;
  tally.most_at_once = std::max(tally.most_at_once, bank.size());
}

void PartialTracks::cancel_frame() {
  for (int position = bank.size() - 1; position >= 0; --position) {
    if (!first[size_t(position)].present)
      remove(position);
    else
      second[size_t(position)].present = false;
  }
}

void PartialTracks::remove(int position) {
  size_t at = size_t(position), last = indices.size() - 1;
  table.erase(indices[at]);
  if (at != last) {
    indices[at] = indices[last];
    first[at] = first[last];
    second[at] = second[last];
    table.put(indices[at], position);
  }
  indices.pop_back();
  first.pop_back();
  second.pop_back();
  bank.remove(position);
}

void PartialTracks::render(float* out, const Segment& segment) {
  const double from = segment.from, to = segment.to;
  const int samples = segment.samples;
  for (size_t position = 0; position < indices.size(); ++position) {
    const Point& a = first[position];
    const Point& b = second[position];
    // The frequency and amplitude at weights 0 and 1; both are linear in between.
    double f0 = a.frequency, f1 = a.frequency, a0 = a.amplitude, a1 = 0.0;
    if (b.present) {
      f0 = a.present && present(a.frequency) && present(b.frequency) ? a.frequency : b.frequency;
      f1 = b.frequency;
      a0 = a.present ? a.amplitude : 0.0;
      a1 = b.amplitude;
    }
    double start = f0 + (f1 - f0) * from, end = f0 + (f1 - f0) * to;
    double gain_start = band_gain(start, sample_rate), gain_end = band_gain(end, sample_rate);
    if (gain_start == 0.0 && gain_end == 0.0) {
      bank.set_ramp(int(position), 0.0, 0.0, 0.0, 0.0);
      continue;
    }
    double amplitude_start = (a0 + (a1 - a0) * from) * gain_start;
    double amplitude_end = (a0 + (a1 - a0) * to) * gain_end;
    bank.set_ramp(int(position), TWO_PI * start / sample_rate, TWO_PI * (end - start) / sample_rate / samples,
                  amplitude_start, (amplitude_end - amplitude_start) / samples);
  }
  bank.render(out, samples);
}
