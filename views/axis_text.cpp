// Fixed-point number text with units.
#include "views/axis_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int MOST_DECIMALS = 9;

std::string fixed(double value, int decimals, const char* unit) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f %s", decimals, value, unit);
  return text;
}

}  // namespace

int decimals_for(double resolution, int least) {
  if (!(resolution > 0.0) || !std::isfinite(resolution)) return least;
  // A hair below a power of ten (0.1 as the double nearest it) still needs only that power's places.
  int needed = int(std::ceil(-std::log10(resolution) - 1e-9));
  return std::clamp(needed, least, MOST_DECIMALS);
}

std::string seconds_text(double seconds, int decimals) { return fixed(seconds, decimals, "s"); }

std::string hertz_text(double hertz, int decimals) { return fixed(hertz, decimals, "Hz"); }

std::string decibels_text(double amplitude) {
  if (std::isnan(amplitude)) return "no level";
  if (amplitude <= 0.0) return "-inf dB";
  return fixed(20.0 * std::log10(amplitude), 1, "dB");
}
