// The recursive oscillators, their set-up in double precision and the per-sample loop in single.
#include "synthesis/oscillator_bank.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double TWO_PI = 6.283185307179586;

// The share of the band below half the sample rate over which a partial fades out.
constexpr double BAND_EDGE_SHARE = 0.05;

}  // namespace

double band_gain(double frequency, double sample_rate) {
  double nyquist = sample_rate / 2;
  double gain = (nyquist - std::fabs(frequency)) / (BAND_EDGE_SHARE * nyquist);
  return gain >= 1.0 ? 1.0 : gain > 0.0 ? gain : 0.0;  // NaN gives 0 too
}

void OscillatorBank::silence(Place at) {
  Group& g = at.group;
  int v = at.vector, k = at.lane;
  g.phasor_re[v][k] = g.start_re[v][k] = 1.0f;
  g.phasor_im[v][k] = g.start_im[v][k] = 0.0f;
  g.offset_re[v][k] = g.offset_im[v][k] = g.turn_re[v][k] = g.turn_im[v][k] = 0.0f;
  g.amplitude[v][k] = g.amplitude_step[v][k] = 0.0f;
}

void OscillatorBank::add() {
  if (count % LANES == 0) {
    groups.emplace_back();
    for (int position = count; position < count + LANES; ++position) silence(place(position));
  }
  phases.emplace_back();
  count++;
}

void OscillatorBank::remove(int position) {
  int last = count - 1;
  Place to = place(position), from = place(last);
  for (auto field : {&Group::phasor_re, &Group::phasor_im, &Group::start_re, &Group::start_im, &Group::offset_re,
                     &Group::offset_im, &Group::turn_re, &Group::turn_im, &Group::amplitude, &Group::amplitude_step})
    (to.group.*field)[to.vector][to.lane] = (from.group.*field)[from.vector][from.lane];
  // The lanes past the last oscillator are rendered with their group, and must stay silent.
  silence(from);
  phases[size_t(position)] = phases.back();
  phases.pop_back();
  count = last;
  if (count % LANES == 0) groups.pop_back();
}

void OscillatorBank::set_ramp(int position, double step, double step_change, double amplitude,
                              double amplitude_change) {
  Place at = place(position);
  Group& g = at.group;
  int v = at.vector, k = at.lane;
  // Frequencies far beyond any sound can make a ramp overflow; such an oscillator is silent.
  if (!std::isfinite(step) || !std::isfinite(step_change) || !std::isfinite(amplitude_change))
    step = step_change = amplitude = amplitude_change = 0.0;
  Phase& p = phases[size_t(position)];
  p.step = step;
  p.step_change = step_change;
  g.phasor_re[v][k] = float(std::cos(p.phase));
  g.phasor_im[v][k] = float(std::sin(p.phase));
  g.start_re[v][k] = float(std::cos(step));
  g.start_im[v][k] = float(std::sin(step));
  g.offset_re[v][k] = g.offset_im[v][k] = 0.0f;
  // cos(x) - 1 as -2 sin^2(x/2), which keeps its digits for the tiny turns of slow glides.
  double half_sine = std::sin(step_change / 2);
  g.turn_re[v][k] = float(-2 * half_sine * half_sine);
  g.turn_im[v][k] = float(std::sin(step_change));
  g.amplitude[v][k] = float(amplitude);
  g.amplitude_step[v][k] = float(amplitude_change);
}

__attribute__((target_clones("avx", "default"))) void OscillatorBank::render_group(const Group& group, Vector (*sums)[VECTORS], int samples) {
  Vector pr[VECTORS], pi[VECTORS], sr[VECTORS], si[VECTORS], orr[VECTORS], oi[VECTORS], tr[VECTORS], ti[VECTORS],
      a[VECTORS], da[VECTORS];
  for (int v = 0; v < VECTORS; ++v) {
    pr[v] = group.phasor_re[v];
    pi[v] = group.phasor_im[v];
    sr[v] = group.start_re[v];
    si[v] = group.start_im[v];
    orr[v] = group.offset_re[v];
    oi[v] = group.offset_im[v];
    tr[v] = group.turn_re[v];
    ti[v] = group.turn_im[v];
    a[v] = group.amplitude[v];
    da[v] = group.amplitude_step[v];
  }
  for (int n = 0; n < samples; ++n) {
    for (int v = 0; v < VECTORS; ++v) {
      sums[n][v] += a[v] * pi[v];
      Vector rr = sr[v] + orr[v], ri = si[v] + oi[v];
      Vector next_pr = pr[v] * rr - pi[v] * ri;
      Vector next_pi = pr[v] * ri + pi[v] * rr;
      pr[v] = next_pr;
      pi[v] = next_pi;
      orr[v] += rr * tr[v] - ri * ti[v];
      oi[v] += rr * ti[v] + ri * tr[v];
      a[v] += da[v];
    }
  }
}

void OscillatorBank::render(float* out, int samples) {
  // Each lane sums its own oscillators; the lanes are added up once per sample at the end.
  Vector sums[MAX_SEGMENT][VECTORS];
  std::memset(sums, 0, sizeof sums[0] * size_t(samples));
  for (const Group& group : groups) render_group(group, sums, samples);
  for (int n = 0; n < samples; ++n) {
    float sum = 0.0f;
    for (int v = 0; v < VECTORS; ++v)
      for (int k = 0; k < WIDTH; ++k) sum += sums[n][v][k];
    out[n] += sum;
  }
  // The phase after the segment: the sum of its advances, n times the first plus the changes.
  const double n = samples;
  for (Phase& p : phases) p.phase = std::remainder(p.phase + n * p.step + n * (n - 1) / 2 * p.step_change, TWO_PI);
}
