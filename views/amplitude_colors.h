// How a view turns an amplitude into a colour: through its contrast curve, as always, or in decibels
// above a floor that the contrast slider sets, then through the panel's colour map. Each view keeps
// one, rebuilt when the panel's choices or its contrast change, so that a point costs a table read.
#pragma once

#include <FL/Enumerations.H>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "views/color_maps.h"
#include "views/contrast_curve.h"

enum class AmplitudeScale { Curve, Decibels };
constexpr AmplitudeScale AMPLITUDE_SCALES[] = {AmplitudeScale::Curve, AmplitudeScale::Decibels};

// Its name on command lines: "curve" or "db".
const char* amplitude_scale_name(AmplitudeScale scale);

// The decibel floor at the contrast slider's ends: further right shows weaker values.
constexpr double HIGHEST_FLOOR_DB = -20.0;
constexpr double LOWEST_FLOOR_DB = -120.0;

// The floor, in decibels, that a contrast of 0 to 1 sets.
double decibel_floor(float contrast);

class AmplitudeColors {
 public:
  // Empty until set(): a view sets it once it has its contrast curve.
  AmplitudeColors() = default;

  // Rebuilds the tables: the curve's table, or the floor from the curve's contrast, and the map.
  void set(AmplitudeScale scale, ColorMap map, const ContrastCurve& curve);

  // The colour of an amplitude that is neither zero nor NaN, or false where the decibel floor hides it
  // (at or below the floor). Amplitudes above 1 take the strongest colour, and on the curve those below
  // 0 the weakest, as the contrast curve always has.
  bool color(double amplitude, Fl_Color& out) const {
    if (scale == AmplitudeScale::Curve) {
      if (!(amplitude > 0.0)) amplitude = 0.0;
      if (amplitude > 1.0) amplitude = 1.0;
      out = curve_colors[static_cast<int>(amplitude * (ContrastCurve::SIZE - 1))];
      return true;
    }
    if (!(amplitude > floor_amplitude)) return false;
    out = map_colors[decibel_steps[bucket(amplitude)]];
    return true;
  }

 private:
  // Decibel steps are looked up by the exponent and the first mantissa bits of the amplitude as a
  // float: buckets 2^(1/64) wide, under a tenth of a decibel, much finer than a step of even the
  // narrowest range (20 dB over 64 steps). Positive floats only, so the sign bit is 0.
  static constexpr int BUCKET_SHIFT = 23 - 6;
  static constexpr int BUCKETS = 1 << (31 - BUCKET_SHIFT);
  static size_t bucket(double amplitude) {
    float narrowed = static_cast<float>(amplitude);
    uint32_t bits;
    std::memcpy(&bits, &narrowed, sizeof bits);
    return bits >> BUCKET_SHIFT;
  }

  AmplitudeScale scale = AmplitudeScale::Curve;
  std::array<Fl_Color, COLOR_STEPS> map_colors;
  std::vector<Fl_Color> curve_colors;
  double floor_amplitude = 0.0;
  std::vector<uint8_t> decibel_steps;
};
