// Tests of the grid's lines: round steps, labels that keep apart, logarithmic decades and notes, and
// the grid's pixels over a picture, drawn through the canvas as the picture is.
#include "views/grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "views/vertical_axis.h"

namespace {

// Whether a step is 1, 2 or 5 times a power of ten.
bool is_round(double step) {
  double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
  return std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 || std::fabs(mantissa - 5) < 1e-9;
}

}  // namespace

TEST(Grid, RoundLinesWhoseLabelsKeepApart) {
  // Time lines: a second over 430 columns, an hour over 1900, 3 milliseconds over 300.
  const struct {
    double left, step;
    int width;
  } spans[] = {{0.0, 1.0 / 430, 430}, {-3.0, 3600.0 / 1900, 1900}, {12.0, 1e-5, 300}};
  for (const auto& s : spans) {
    std::vector<GridLine> lines = time_grid(s.left, s.step, s.width);
    ASSERT_GE(lines.size(), 2u) << s.left;
    double tick = (std::stod(lines[1].label) - std::stod(lines[0].label));
    EXPECT_TRUE(is_round(tick)) << tick;
    for (size_t i = 1; i < lines.size(); ++i)
      EXPECT_GE(lines[i].at - lines[i - 1].at, label_width(lines[i - 1].label.c_str()) + 1) << lines[i].label;
    for (const GridLine& line : lines)  // at the first column that has reached the line's time
      EXPECT_LE(std::stod(line.label), s.left + line.at * s.step + 1e-9);
  }

  // Value lines on a linear, a logarithmic and a musical axis of 110 pixels, from 20 Hz to 22050 Hz.
  const ValueAxis linear = value_axis(VerticalScale::Linear, 22050, 0, 1, 110);
  const ValueAxis log = value_axis(VerticalScale::Log, 22050, 0, 1, 110);
  const struct {
    GridValues kind;
    const ValueAxis& axis;
    std::vector<std::string> some;  // labels that must be there
  } axes[] = {{GridValues::Linear, linear, {"5000 Hz", "10000 Hz"}},
              {GridValues::Logarithmic, log, {"100 Hz", "1000 Hz", "10000 Hz"}},
              {GridValues::Notes, log, {"C4", "C8"}}};  // octaves 11 pixels apart: every other C
  for (const auto& a : axes) {
    std::vector<GridLine> lines = value_grid(a.kind, a.axis.value_at(0), a.axis.value_at(110), 110,
                                             [&](double v) { return a.axis.up(v); }, false);
    for (size_t i = 1; i < lines.size(); ++i) EXPECT_GE(lines[i].at - lines[i - 1].at, GLYPH_HEIGHT + 2);
    for (const std::string& label : a.some)
      EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const GridLine& l) { return l.label == label; }))
          << label;
  }
}
