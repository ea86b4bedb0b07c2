// Tests of the contrast table, the amplitude-to-colour rule and the colour ramp in the toolkit's colour
// map. None of them needs a display.
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include "views/color_ramp.h"
#include "views/contrast_curve.h"

TEST(ContrastCurve, TableAndColorIndexMatchCheckValues) {
  const struct {
    float contrast;
    int32_t at1, at4096;
  } curves[] = {{0.5f, 13, 56}, {0.3f, 7, 54}, {0.0f, 2, 50}, {1.0f, 60, 63}};
  ContrastCurve refilled(0.7f);
  for (const auto& c : curves) {
    refilled.contrast = c.contrast;
    refilled.fill();
    for (const ContrastCurve& curve : {ContrastCurve(c.contrast), refilled}) {
      EXPECT_EQ(curve.table[0], 0);
      EXPECT_EQ(curve.table[1], c.at1) << c.contrast;
      EXPECT_EQ(curve.table[4096], c.at4096) << c.contrast;
      EXPECT_EQ(curve.table[ContrastCurve::SIZE - 1], 63);
      for (int i = 1; i < ContrastCurve::SIZE; ++i) ASSERT_LE(curve.table[i - 1], curve.table[i]) << i;
    }
  }
  // Amplitudes beyond 0..1 are limited to the table; positions truncate toward zero, so 2/8191 is
  // entry 2 only from its exact start on.
  ContrastCurve half(0.5f);
  const std::pair<double, int> amplitudes[] = {{1.0, 127}, {2.5, 127}, {0.0001, 64}, {-0.3, 64},
                                                {2.0 / 8191 + 1e-12, 64 + 15}, {2.0 / 8191 - 1e-9, 64 + 13},
                                                {0.5, 64 + half.table[4095]}};
  for (auto [amplitude, index] : amplitudes) EXPECT_EQ(half.color_index(amplitude), index) << amplitude;
}

TEST(ColorRamp, HoldsTheRampAndIsWrittenOnlyOnce) {
  ContrastCurve first(0.5f);
  const std::pair<int, unsigned> expected[] = {
      {64, 0x000000}, {65, 0x010101}, {67, 0x030404}, {70, 0x070808}, {76, 0x0F1110}, {77, 0x14171A},
      {89, 0x506499}, {90, 0x506A95}, {101, 0x5AB464}, {102, 0x64B760}, {114, 0xE0E02C}, {115, 0xE2DC2E},
      {127, 0xFCA04D}, {128, 0xFF9B50}};
  for (auto [index, rgb] : expected) EXPECT_EQ(Fl::get_color(index) >> 8, rgb) << "index " << index;
  // Later curves must not write the map again: an entry changed meanwhile stays changed.
  Fl::set_color(70, 1, 2, 3);
  ContrastCurve second(0.3f);
  init_color_ramp();
  EXPECT_EQ(Fl::get_color(70) >> 8, 0x010203u);
  Fl::set_color(70, 7, 8, 8);
}
