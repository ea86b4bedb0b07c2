// Fills the colour tables of an amplitude mapping.
#include "views/amplitude_colors.h"

#include <algorithm>
#include <cmath>

const char* amplitude_scale_name(AmplitudeScale scale) { return scale == AmplitudeScale::Decibels ? "db" : "curve"; }

double decibel_floor(float contrast) {
  return HIGHEST_FLOOR_DB + (LOWEST_FLOOR_DB - HIGHEST_FLOOR_DB) * double(contrast);
}

void AmplitudeColors::set(AmplitudeScale chosen, ColorMap map, const ContrastCurve& curve) {
  scale = chosen;
  for (int step = 0; step < COLOR_STEPS; ++step) map_colors[size_t(step)] = step_color(map, step);
  if (scale == AmplitudeScale::Curve) {
    curve_colors.resize(ContrastCurve::SIZE);
    for (int i = 0; i < ContrastCurve::SIZE; ++i) curve_colors[size_t(i)] = map_colors[size_t(curve.table[i])];
    return;
  }
  // 0 dB is amplitude 1; the floor and 0 dB bound COLOR_STEPS equal steps.
  const double floor_db = decibel_floor(curve.contrast);
  floor_amplitude = std::pow(10.0, floor_db / 20.0);
  decibel_steps.resize(BUCKETS);
  for (uint32_t b = 0; b < BUCKETS; ++b) {
    uint32_t bits = b << BUCKET_SHIFT;
    float lowest;
    std::memcpy(&lowest, &bits, sizeof lowest);
    double step = std::floor((20.0 * std::log10(double(lowest)) - floor_db) / -floor_db * COLOR_STEPS);
    decibel_steps[b] = uint8_t(std::clamp(step, 0.0, double(COLOR_STEPS - 1)));
  }
}
