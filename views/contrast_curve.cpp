// Fills the contrast table and maps amplitudes to ramp colours. Used by every view for every point it
// draws, and by the data panel's contrast slider.
#include "views/contrast_curve.h"

#include <cmath>

ContrastCurve::ContrastCurve(float contrast) : contrast(contrast) {
  init_color_ramp();
  fill();
}

void ContrastCurve::fill() {
  // The exponent is rounded to a float before use; the table entries depend on that rounding.
  float exponent = static_cast<float>(0.34 - contrast * (1.0 / 3.0));
  for (int i = 0; i < SIZE; ++i) table[i] = static_cast<int32_t>(std::pow(i / 8192.0, exponent) * 64.0);
}
