// How a view's values land on its height: the vertical scale a panel chooses (linear, as always;
// logarithmic in frequency; or musical, the logarithmic scale with its grid on notes) and the mapping
// it makes with the view's vertical fractions. Used by the views' drawing, their grid and the viewer's
// readout, so that all three agree on where a value is.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

enum class VerticalScale { Linear, Log, Note };
constexpr VerticalScale VERTICAL_SCALES[] = {VerticalScale::Linear, VerticalScale::Log, VerticalScale::Note};

// Its name on command lines: "linear", "log" or "note".
const char* vertical_scale_name(VerticalScale scale);

inline bool logarithmic(VerticalScale scale) { return scale != VerticalScale::Linear; }

// The lowest frequency of a logarithmic scale in hertz; the full range is its top.
constexpr double LOWEST_LOG_FREQUENCY = 20.0;

// The natural logarithm as the logarithmic scales draw with it, a few times faster than std::log and
// within 5e-7 of it, far under a pixel of any axis: a logarithmic picture takes one for every point it
// draws. The logarithm of a mantissa 1 + k / 1024 + r is that of 1 + k / 1024, from a table, plus
// r / (1 + k / 1024), whose error is under (1 / 1024)^2 / 2.
struct LogTable {
  static constexpr int BITS = 10;
  double log[1 << BITS];
  double inverse[1 << BITS];
  LogTable();
};
extern const LogTable LOG_TABLE;

inline double fast_log(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  constexpr int MANTISSA_BITS = 52, REST_BITS = MANTISSA_BITS - LogTable::BITS, EXPONENT_BIAS = 1023;
  constexpr double LN2 = 0.69314718055994530942;
  const uint64_t exponent = bits >> MANTISSA_BITS;
  // One comparison takes zero and the subnormals (exponent 0), negative values (the sign bit) and the
  // infinities and NaN (all ones). Values at or below zero lie below every axis: -infinity, without
  // the library's error path for them, which a partial swinging below 0 Hz would take at every column.
  if (exponent - 1 >= 0x7FE) return value > 0.0 ? std::log(value) : value <= 0.0 ? -HUGE_VAL : value;
  const size_t k = size_t(bits >> REST_BITS) & ((size_t(1) << LogTable::BITS) - 1);
  // Signed conversions, which are one instruction where unsigned ones are several.
  const int64_t rest = int64_t(bits & ((uint64_t(1) << REST_BITS) - 1));
  const int64_t power = int64_t(exponent) - EXPONENT_BIAS;
  return double(power) * LN2 + LOG_TABLE.log[k] + double(rest) * 0x1p-52 * LOG_TABLE.inverse[k];
}

// The mapping of one drawing: a value's height in pixels above the view's bottom edge is
// (f(value) - base) / scale, f being the identity or the natural logarithm.
struct ValueAxis {
  bool logarithmic = false;
  double base = 0.0, scale = 1.0;
  // 1 / scale: a logarithmic axis multiplies by it, a division fewer for every point it draws; the
  // linear one divides, as the views always have, for the same pixels.
  double per_unit = 1.0;

  double up(double value) const {
    return logarithmic ? (fast_log(value) - base) * per_unit : (value - base) / scale;
  }
  double value_at(double up) const {
    double mapped = base + up * scale;
    return logarithmic ? std::exp(mapped) : mapped;
  }
};

// The axis of a view `height` pixels high whose whole range reaches `full_range`, showing the share
// `size` of it from `position` up, as the fractions hold them. On the linear scale the whole range
// starts at 0, on the others at LOWEST_LOG_FREQUENCY.
ValueAxis value_axis(VerticalScale scale, double full_range, float position, float size, int height);
