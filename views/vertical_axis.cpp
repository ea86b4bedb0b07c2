// The value axis of a drawing.
#include "views/vertical_axis.h"

const LogTable LOG_TABLE;

LogTable::LogTable() {
  for (int k = 0; k < (1 << BITS); ++k) {
    double m = 1.0 + double(k) / (1 << BITS);
    log[k] = std::log(m);
    inverse[k] = 1.0 / m;
  }
}

const char* vertical_scale_name(VerticalScale scale) {
  switch (scale) {
    case VerticalScale::Log: return "log";
    case VerticalScale::Note: return "note";
    case VerticalScale::Linear: break;
  }
  return "linear";
}

ValueAxis value_axis(VerticalScale scale, double full_range, float position, float size, int height) {
  // The linear products are formed as the views always formed them: the float fractions widened and
  // multiplied by the range, the scale divided by the height last.
  if (!logarithmic(scale)) return {false, position * full_range, size * full_range / height, 1.0};
  double low = std::log(LOWEST_LOG_FREQUENCY), span = std::log(full_range) - low;
  double units_per_pixel = size * span / height;
  return {true, low + position * span, units_per_pixel, 1.0 / units_per_pixel};
}
