// Tests of the amplitude mappings and colour maps without a display: the curve through the ramp is
// the contrast curve's colour, each map's ends, and the decibel floor and steps.
#include "views/amplitude_colors.h"

#include <FL/Fl.H>

#include <cmath>
#include <tuple>

#include <gtest/gtest.h>

namespace {

std::tuple<int, int, int> rgb(Fl_Color c) {
  unsigned char r, g, b;
  Fl::get_color(c, r, g, b);
  return {r, g, b};
}

TEST(AmplitudeColors, CurveRampIsTheContrastCurveAndEveryMapHasItsEnds) {
  ContrastCurve curve(0.3f);
  AmplitudeColors colors;
  colors.set(AmplitudeScale::Curve, ColorMap::Ramp, curve);
  for (double a : {-0.3, 1e-9, 0.0001, 0.25, 0.5, 0.999, 1.0, 2.5}) {
    Fl_Color c = 0;
    ASSERT_TRUE(colors.color(a, c));
    EXPECT_EQ(c, Fl_Color(curve.color_index(a))) << a;
  }
  const struct {
    ColorMap map;
    std::tuple<int, int, int> weakest, strongest;
  } ends[] = {
      {ColorMap::Ramp, {0, 0, 0}, {252, 160, 77}},      {ColorMap::Viridis, {68, 1, 84}, {253, 231, 37}},
      {ColorMap::Magma, {0, 0, 4}, {252, 253, 191}},     {ColorMap::Inferno, {0, 0, 4}, {252, 255, 164}},
      {ColorMap::Gray, {0, 0, 0}, {255, 255, 255}},
  };
  for (const auto& e : ends) {
    EXPECT_EQ(rgb(step_color(e.map, 0)), e.weakest) << color_map_name(e.map);
    EXPECT_EQ(rgb(step_color(e.map, COLOR_STEPS - 1)), e.strongest) << color_map_name(e.map);
    colors.set(AmplitudeScale::Curve, e.map, curve);
    Fl_Color c = 0;
    colors.color(1.0, c);
    EXPECT_EQ(rgb(c), e.strongest) << color_map_name(e.map);
  }
}

TEST(AmplitudeColors, DecibelsPaintAboveTheFloorInEqualSteps) {
  ContrastCurve curve(0.5f);
  AmplitudeColors colors;
  colors.set(AmplitudeScale::Decibels, ColorMap::Gray, curve);
  const double floor = std::pow(10.0, -70.0 / 20);  // contrast 0.5 sets -70 dB
  const struct {
    double amplitude;
    int step;  // -1: not painted
  } cases[] = {
      {floor, -1},
      {std::nextafter(floor, 1.0), 0},
      {1e-12, -1},
      {-0.5, -1},
      {0.5, 58},   // -6.02 dB: (70 - 6.02) / 70 * 64 = 58.5
      {0.01, 27},  // -40 dB: 30 / 70 * 64 = 27.4
      {1.0, 63},
      {40.0, 63},
  };
  for (const auto& c : cases) {
    Fl_Color colour = 0;
    bool painted = colors.color(c.amplitude, colour);
    ASSERT_EQ(painted, c.step >= 0) << c.amplitude;
    if (painted) {
      EXPECT_EQ(colour, step_color(ColorMap::Gray, c.step)) << c.amplitude;
    }
  }
  EXPECT_EQ(decibel_floor(0.0f), -20.0);
  EXPECT_EQ(decibel_floor(1.0f), -120.0);
}

}  // namespace
