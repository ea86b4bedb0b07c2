// Tests of the contrast table, the amplitude-to-colour rule and the colour ramp in the toolkit's
// colour map. None of them needs a display.
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include "views/color_ramp.h"
#include "views/contrast_curve.h"

namespace {

struct Rgb {
  int red, green, blue;
  bool operator==(const Rgb& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.red << ", " << c.green << ", " << c.blue << ")";
}

Rgb map_entry(int index) {
  unsigned char r, g, b;
  Fl::get_color(index, r, g, b);
  return {r, g, b};
}

}  // namespace

TEST(ContrastCurve, TableMatchesCheckValues) {
  ContrastCurve half(0.5f);
  EXPECT_EQ(half.table[0], 0);
  EXPECT_EQ(half.table[1], 13);
  EXPECT_EQ(half.table[2], 15);
  EXPECT_EQ(half.table[4096], 56);
  EXPECT_EQ(half.table[8191], 63);

  ContrastCurve tracks(0.3f);
  EXPECT_EQ(tracks.table[1], 7);
  EXPECT_EQ(tracks.table[4096], 54);
  EXPECT_EQ(tracks.table[8191], 63);

  ContrastCurve none(0.0f);
  EXPECT_EQ(none.table[1], 2);
  EXPECT_EQ(none.table[4096], 50);
  ContrastCurve full(1.0f);
  EXPECT_EQ(full.table[1], 60);
  EXPECT_EQ(full.table[4096], 63);

  for (const ContrastCurve* curve : {&half, &tracks, &none, &full}) {
    for (int i = 1; i < ContrastCurve::SIZE; ++i) ASSERT_LE(curve->table[i - 1], curve->table[i]) << i;
    EXPECT_EQ(curve->table[0], 0);
    EXPECT_EQ(curve->table[8191], 63);
  }
}

TEST(ContrastCurve, RefillsInPlaceWhenTheContrastChanges) {
  ContrastCurve curve(0.5f);
  const int32_t* table = curve.table;
  curve.contrast = 1.0f;
  curve.fill();
  EXPECT_EQ(curve.table, table);
  EXPECT_EQ(curve.table[1], 60);
  EXPECT_EQ(curve.table[4096], 63);
}

TEST(ContrastCurve, ColorIndexLimitsAmplitudesToTheTable) {
  ContrastCurve curve(0.5f);
  EXPECT_EQ(curve.color_index(1.0), 127);
  EXPECT_EQ(curve.color_index(0.0001), 64);
  EXPECT_EQ(curve.color_index(2.5), 127);
  EXPECT_EQ(curve.color_index(-0.3), 64);
  // Positions truncate toward zero: 2/8191 is entry 2 only from its exact start on.
  EXPECT_EQ(curve.color_index(2.0 / 8191 + 1e-12), 64 + 15);
  EXPECT_EQ(curve.color_index(2.0 / 8191 - 1e-9), 64 + 13);
  EXPECT_EQ(curve.color_index(0.5), 64 + curve.table[4095]);
}

TEST(ColorRamp, HoldsTheRampAndIsWrittenOnlyOnce) {
  ContrastCurve first(0.5f);
  const std::pair<int, Rgb> expected[] = {
      {64, {0, 0, 0}},       {65, {1, 1, 1}},        {67, {3, 4, 4}},       {70, {7, 8, 8}},
      {76, {15, 17, 16}},    {77, {20, 23, 26}},     {89, {80, 100, 153}},  {90, {80, 106, 149}},
      {101, {90, 180, 100}}, {102, {100, 183, 96}},  {114, {224, 224, 44}}, {115, {226, 220, 46}},
      {127, {252, 160, 77}}, {128, {255, 155, 80}},
  };
  for (const auto& [index, rgb] : expected) EXPECT_EQ(map_entry(index), rgb) << "index " << index;

  // Later curves must not write the map again: an entry changed meanwhile stays changed.
  Fl::set_color(70, 1, 2, 3);
  ContrastCurve second(0.3f);
  ContrastCurve third(1.0f);
  init_color_ramp();
  EXPECT_EQ(map_entry(70), (Rgb{1, 2, 3}));
  Fl::set_color(70, 7, 8, 8);
}
