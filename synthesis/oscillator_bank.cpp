// The recursive oscillators, their set-up in double precision and the per-sample loop in single.
#include "synthesis/oscillator_bank.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

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
  g.phasor_re[v][k] = g.rotation_re[v][k] = g.turn_re[v][k] = 1.0f;
  g.phasor_im[v][k] = g.rotation_im[v][k] = g.turn_im[v][k] = 0.0f;
  g.amplitude[v][k] = g.amplitude_step[v][k] = 0.0f;
}

void OscillatorBank::add() {
  if (count % LANES == 0) {
    groups.emplace_back();
    for (int position = count; position < count + LANES; ++position) silence(place(position));
  }
  count++;
}

void OscillatorBank::remove(int position) {
  int last = count - 1;
  Place to = place(position), from = place(last);
  auto move = [&](Vector(Group::*field)[VECTORS]) {
    (to.group.*field)[to.vector][to.lane] = (from.group.*field)[from.vector][from.lane];
  };
  for (auto field : {&Group::phasor_re, &Group::phasor_im, &Group::rotation_re, &Group::rotation_im,
                     &Group::turn_re, &Group::turn_im, &Group::amplitude, &Group::amplitude_step})
    move(field);
  // The lanes past the last oscillator are rendered with their group, and must stay silent.
  silence(from);
  count = last;
  if (count % LANES == 0) groups.pop_back();
}

void OscillatorBank::set_ramp(int position, double step, double step_change, double amplitude,
                              double amplitude_change) {
  Place at = place(position);
  Group& g = at.group;
  int v = at.vector, k = at.lane;
  // The phasor's length drifts from 1 by the rounding of the last segment; it goes back to 1 here.
  double re = g.phasor_re[v][k], im = g.phasor_im[v][k];
  double length = std::sqrt(re * re + im * im);
  g.phasor_re[v][k] = float(re / length);
  g.phasor_im[v][k] = float(im / length);
  g.rotation_re[v][k] = float(std::cos(step));
  g.rotation_im[v][k] = float(std::sin(step));
  g.turn_re[v][k] = float(std::cos(step_change));
  g.turn_im[v][k] = float(std::sin(step_change));
  g.amplitude[v][k] = float(amplitude);
  g.amplitude_step[v][k] = float(amplitude_change);
}

void OscillatorBank::render_group(Group& group, Vector (*sums)[VECTORS], int samples) {
  Vector pr[VECTORS], pi[VECTORS], rr[VECTORS], ri[VECTORS], tr[VECTORS], ti[VECTORS], a[VECTORS], da[VECTORS];
  for (int v = 0; v < VECTORS; ++v) {
    pr[v] = group.phasor_re[v];
    pi[v] = group.phasor_im[v];
    rr[v] = group.rotation_re[v];
    ri[v] = group.rotation_im[v];
    tr[v] = group.turn_re[v];
    ti[v] = group.turn_im[v];
    a[v] = group.amplitude[v];
    da[v] = group.amplitude_step[v];
  }
  for (int n = 0; n < samples; ++n) {
    for (int v = 0; v < VECTORS; ++v) {
      sums[n][v] += a[v] * pi[v];
      Vector next_pr = pr[v] * rr[v] - pi[v] * ri[v];
      Vector next_pi = pr[v] * ri[v] + pi[v] * rr[v];
      Vector next_rr = rr[v] * tr[v] - ri[v] * ti[v];
      Vector next_ri = rr[v] * ti[v] + ri[v] * tr[v];
      pr[v] = next_pr;
      pi[v] = next_pi;
      rr[v] = next_rr;
      ri[v] = next_ri;
      a[v] += da[v];
    }
  }
  for (int v = 0; v < VECTORS; ++v) {
    group.phasor_re[v] = pr[v];
    group.phasor_im[v] = pi[v];
    group.rotation_re[v] = rr[v];
    group.rotation_im[v] = ri[v];
    group.amplitude[v] = a[v];
  }
}

void OscillatorBank::render(float* out, int samples) {
  // Each lane sums its own oscillators; the lanes are added up once per sample at the end.
  Vector sums[MAX_SEGMENT][VECTORS];
  std::memset(sums, 0, sizeof sums[0] * size_t(samples));
  for (Group& group : groups) render_group(group, sums, samples);
  for (int n = 0; n < samples; ++n) {
    float sum = 0.0f;
    for (int v = 0; v < VECTORS; ++v)
      for (int k = 0; k < WIDTH; ++k) sum += sums[n][v][k];
    out[n] += sum;
  }
}
