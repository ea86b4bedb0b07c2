// Tests of the views' column sampling on small streams loaded from test files: column times, the frame
// pair, interpolation, fades, takeovers, precision and the guards against odd matrices. No display.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <type_traits>

#include "tests/support/test_files.h"
#include "views/pitch_view.h"
#include "views/residual_view.h"
#include "views/track_view.h"

namespace {

// One slot of a column sampled at time t: its value, frequency or magnitude, and its amplitude (none
// for the residual view). Expected values are written as the views compute them, float elements
// included, so that reading a float where a double is meant shows.
struct Sample {
  double t;
  int slot;
  double height, amplitude;
};

template <class View>
void expect_samples(View& view, std::initializer_list<Sample> samples) {
  for (const Sample& s : samples) {
    // Each array is followed by a value that a write past its slots would change.
    struct {
      SlotValues values;
      double after = 0;
    } heights = {}, amplitudes = {};
    if constexpr (std::is_same_v<View, ResidualView>)
      view.sample_column(s.t, heights.values);
    else
      view.sample_column(s.t, heights.values, amplitudes.values);
    SCOPED_TRACE(testing::Message() << "t " << s.t << ", slot " << s.slot);
    EXPECT_DOUBLE_EQ(heights.values[s.slot], s.height);
    EXPECT_EQ(heights.after + amplitudes.after, 0.0) << "written past the slots";
    if (std::isnan(s.amplitude))
      EXPECT_TRUE(std::isnan(amplitudes.values[s.slot]));
    else
      EXPECT_DOUBLE_EQ(amplitudes.values[s.slot], s.amplitude);
  }
}

// A stream of one-matrix frames of `type`, each matrix given as float rows.
SdifWriter stream_of(const char* type, const std::vector<std::pair<double, std::vector<std::vector<float>>>>& frames) {
  SdifWriter w;
  w.file_header();
  for (const auto& [time, rows] : frames) {
    std::vector<float> elements;
    for (const auto& row : rows) elements.insert(elements.end(), row.begin(), row.end());
    int columns = rows.empty() ? 2 : int(rows[0].size());
    w.begin_frame(type, time, 1, 1).matrix_f32(type, int(rows.size()), columns, elements).end_frame();
  }
  return w;
}

}  // namespace

TEST(SdifView, ColumnTimesComeFromTheFractionsInDoublePrecision) {
  LoadedStream s(stream_of("1FQ0", {{1.0, {}}, {2.0, {}}, {3.0, {}}}), "1FQ0");
  SdifView view(5, 0, 3, 10, &s.cursor);
  view.time_position = 0.1f;
  view.time_size = 0.7f;
  s.cursor.current = s.cursor.last;
  double t = 0, dt = 0;
  ASSERT_TRUE(view.start_columns(t, dt));
  EXPECT_EQ(s.cursor.current, s.cursor.first);
  // The float fractions widened to double: in float arithmetic t would be 1.2000000476837158.
  EXPECT_EQ(t, 1.2000000029802322);
  EXPECT_EQ(dt, 0.4666666587193807);
  view.size(1, 10);
  EXPECT_TRUE(view.start_columns(t, dt));
  view.size(0, 10);
  EXPECT_FALSE(view.start_columns(t, dt));

  // The last second of an hour-long stream of 10 frames a second, as the deepest wheel zoom leaves it:
  // the float fractions place it to within 2^-24 of the hour (0.2 ms), and every column samples the
  // frames around its own time (the values grow by one a frame, so linearly in time).
  std::vector<std::pair<double, std::vector<std::vector<float>>>> hour;
  for (int i = 0; i <= 36000; ++i) hour.push_back({0.1 * i, {{float(1000 + i), 1}}});
  LoadedStream long_stream(stream_of("1FQ0", hour), "1FQ0");
  PitchView last_second(0, 0, 100, 10, &long_stream.cursor);
  last_second.time_size = float(1.0 / 3600);
  last_second.time_position = float(1.0 - 1.0 / 3600);
  ASSERT_TRUE(last_second.start_columns(t, dt));
  EXPECT_NEAR(t, 3599.0, 3600 * 0x1p-24);
  for (int column = 0; column < 100; ++column, t += dt) {
    SlotValues values, weights;
    last_second.sample_column(t, values, weights);
    ASSERT_NEAR(values[0], 1000 + 10 * t, 1e-6) << column;
  }

  SdifStreamCursor none(s.file.frames, "1TRC");
  SdifView empty(0, 0, 4, 10, &none);
  EXPECT_FALSE(empty.start_columns(t, dt));
  double w = 1.0;
  EXPECT_EQ(empty.frame_pair(1.0, w), nullptr);
  EXPECT_EQ(w, 0.0);
  SlotValues heights, amplitudes = {1};
  PitchView(0, 0, 4, 10, &none).sample_column(1.0, heights, amplitudes);
  EXPECT_EQ(amplitudes[0], 0.0);
}

TEST(SdifView, FramePairBracketsTheTimeWhereverTheCursorStarts) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 4; ++trial) {
    // Sorted streams with repeated times, long enough to be indexed.
    std::vector<std::pair<double, std::vector<std::vector<float>>>> frames;
    double time = 0;
    for (int i = 0; i < 700; ++i) frames.push_back({time += (random() % 3) * 0.5, {}});
    LoadedStream s(stream_of("1TRC", frames), "1TRC");
    SdifView view(0, 0, 10, 10, &s.cursor);
    std::vector<SdifFrame*> chain;
    for (SdifFrame* f = s.cursor.first; f; f = f->next_in_stream) chain.push_back(f);
    for (int sweep = 0; sweep < 40; ++sweep) {
      // Drawing starts at the first frame; a cursor that something else moved must work too.
      s.cursor.current = sweep % 4 == 3 ? chain[random() % chain.size()] : s.cursor.first;
      double t = -1.0 + (random() % 40) * 0.5;
      // Small steps and long jumps, mostly forward, sometimes back: a cursor never moves back.
      for (int step = 0; step < 30; ++step) {
        t += random() % 8 == 0 ? (random() % 300) * 0.5 : (int(random() % 9) - 2) * 0.75;
        const SdifFrame* start = s.cursor.current;
        double w;
        const SdifFrame* current = view.frame_pair(t, w);
        EXPECT_EQ(s.cursor.current, current) << "the cursor is left at the pair";
        // The pair is the frame before the first frame at or after t, or the frame it started from.
        const SdifFrame* next = current->next_in_stream;
        ASSERT_TRUE(current == start || current->time < t) << "trial " << trial << " t " << t;
        ASSERT_TRUE(current->time >= start->time) << "never back";
        ASSERT_TRUE(!next || next->time >= t) << "trial " << trial << " t " << t;
      }
    }
  }
}

TEST(PitchView, BlendsRowsBetweenFramesAndReadsOddMatrices) {
  LoadedStream s(stream_of("1FQ0", {{1.0, {{100, 0.5f}, {200, 0.8f}, {0, 0}, {400, 0.25f}}},
                                     {2.0, {{200, 0.5f}, {0, 0}, {300, 0.6f}}}}),
                 "1FQ0");
  PitchView view(0, 0, 10, 10, &s.cursor);
  // A zero in the next frame takes over at once (row 1); a zero in this frame gives the next value, fading
  // in (row 2); a row missing from the next frame fades out (row 3); past the last frame, that frame alone.
  expect_samples(view, {{1.5, 0, 150, 0.5}, {1.5, 1, 0, 0.8f * 0.5}, {1.5, 2, 300, 0.6f * 0.5},
                        {1.5, 3, 400, 0.25f * 0.5}, {1.5, 4, 0, 0}, {1.25, 0, 125, 0.5}, {1.25, 1, 0, 0.8f * 0.75},
                        {2.0, 1, 0, 0}, {9.0, 2, 300, 0.6f}, {9.0, 3, 0, 0}});

  SdifWriter w;
  w.file_header();
  w.begin_frame("1FQ0", 0.0, 1, 1).matrix_f64("1FQ0", 1, 2, {0.1, 0.1}).end_frame();
  w.begin_frame("1FQ0", 1.0, 1, 1).matrix_f32("1FQ0", 2, 1, {100, 200}).end_frame();
  w.begin_frame("1FQ0", 2.0, 1, 1).matrix_f32("1FQ0", 2, 1, {300, 400}).end_frame();
  w.begin_frame("1FQ0", 3.0, 1, 1).matrix_header("1FQ0", 0x0101, 2, 2).u32(0x09090909).pad().end_frame();
  w.begin_frame("1FQ0", 4.0, 1, 0).end_frame();
  w.begin_frame("1FQ0", 5.0, 1, 1).matrix_i32("1FQ0", 1, 2, {500, 1}).end_frame();
  w.begin_frame("1FQ0", 6.0, 1, 1).matrix_u32("1FQ0", 1, 2, {600, 1}).end_frame();
  LoadedStream odd(w, "1FQ0");
  PitchView odd_view(0, 0, 10, 10, &odd.cursor);
  // The value passes through a float, the weight not; one-column matrices weigh every row 1; eight-bit
  // elements read as value 0, weight 1; a frame without a matrix has no rows.
  expect_samples(odd_view, {{0.0, 0, 0.1f, 0.1}, {1.75, 0, 250, 1}, {1.75, 1, 350, 1}, {2.5, 0, 0, 1}, {3.0, 1, 0, 1},
                            {4.25, 0, 500, 0.25}, {4.25, 1, 0, 0}, {5.5, 0, 550, 1}});

  std::vector<std::vector<float>> rows;
  for (int i = 0; i < 300; ++i) rows.push_back({float(i + 1), 1});
  LoadedStream many(stream_of("1FQ0", {{1.0, rows}, {1.0, {{5, 1}}}}), "1FQ0");
  PitchView many_view(0, 0, 10, 10, &many.cursor);
  expect_samples(many_view, {{1.0, 255, 256, NAN}});  // 256 rows; equal times give a weight of 0 / 0
}

TEST(TrackView, MatchesPartialsByTrackIndex) {
  LoadedStream s(stream_of("1TRC", {{1.0, {{3, 440, 0.5f}, {2, 300, 0.4f}, {7, 100, 0.2f}, {7, 700, 0.3f}}},
                                    {3.0, {{3, 460, 0.7f}, {2, 0, 0.2f}, {5, 1000, 0.8f}, {9, 50, 0.1f},
                                           {9, 70, 0.3f}}}}),
                 "1TRC");
  TrackView view(0, 0, 10, 10, &s.cursor);
  // In either frame the later row of an index wins (tracks 7 and 9).
  expect_samples(view, {{2.0, 3, 450, 0.5f * 0.5 + 0.5 * 0.7f}, {2.0, 2, 0, 0.4f * 0.5 + 0.5 * 0.2f},
                        {2.0, 5, 1000, 0.5 * 0.8f}, {2.0, 7, 700, 0.3f * 0.5}, {2.0, 9, 70, 0.5 * 0.3f},
                        {2.0, 4, 0, 0}, {2.0, 255, 0, 0}, {2.5, 5, 1000, 0.75 * 0.8f}});

  SdifWriter w;
  w.file_header();
  w.begin_frame("1TRC", 0.0, 1, 1)
      .matrix_f64("1TRC", 6, 3, {3.9, 100, 0.1, -1, 200, 1, 256, 300, 1, 1e12, 400, 1, -0.5, 500, 0.5, NAN, 600, 1})
      .end_frame();
  w.begin_frame("1TRC", 1.0, 1, 1).matrix_f32("1TRC", 2, 2, {1, 100, 2, 200}).end_frame();
  w.begin_frame("1TRC", 2.0, 1, 1).matrix_header("1TRC", 0x0101, 1, 3).u8(1).u8(2).u8(3).pad().end_frame();
  w.begin_frame("1TRC", 3.0, 1, 1).matrix_i32("1TRC", 1, 3, {4, 800, 1}).end_frame();
  w.begin_frame("1TRC", 4.0, 1, 1).matrix_u32("1TRC", 2, 3, {4294967295u, 1, 1, 4, 900, 1}).end_frame();
  LoadedStream odd(w, "1TRC");
  TrackView odd_view(0, 0, 10, 10, &odd.cursor);
  SlotValues heights, amplitudes;
  odd_view.sample_column(0.0, heights, amplitudes);
  EXPECT_EQ(std::count(amplitudes.begin(), amplitudes.end(), 0.0), 254);
  // Indices truncate; those without a slot are ignored; two-column and eight-bit matrices hold no
  // partials; an unsigned index above the int range reads as negative.
  expect_samples(odd_view, {{0.0, 3, 100, 0.1}, {0.0, 0, 500, 0.5}, {0.0, 1, 0, 0}, {0.0, 255, 0, 0},
                            {1.5, 1, 0, 0}, {2.5, 4, 800, 0.5}, {3.5, 4, 850, 1}, {3.5, 255, 0, 0}});
}

TEST(ResidualView, BlendsBinMagnitudesAndReadsOnlyNumericSpectra) {
  SdifWriter w;
  w.file_header();
  w.begin_frame("1STF", 1.0, 1, 2).matrix_f32("ISTF", 1, 3, {44100, 1024, 1024});
  w.matrix_f64("1STF", 3, 2, {0.3, 0.4, 0.0, 0.1, 0.6, 0.8}).end_frame();
  w.begin_frame("1STF", 2.0, 1, 2).matrix_f32("ISTF", 1, 3, {44100, 1024, 1024});
  w.matrix_f32("1STF", 4, 2, {0.3f, 0.4f, 0.0f, 0.0f, 0.0f, 0.0f, 3.0f, 4.0f}).end_frame();
  w.begin_frame("1STF", 3.0, 1, 1).matrix_f32("ISTF", 1, 1, {1}).end_frame();
  std::vector<float> big;
  for (int i = 0; i < 300; ++i) big.insert(big.end(), {1.0f, 0.0f});
  w.begin_frame("1STF", 4.0, 1, 2).matrix_f32("ISTF", 1, 1, {1}).matrix_f32("1STF", 300, 2, big).end_frame();
  w.begin_frame("1STF", 5.0, 1, 2).matrix_f32("ISTF", 1, 1, {1}).matrix_f32("1STF", 1, 1, {1}).end_frame();
  w.begin_frame("1STF", 6.0, 1, 2).matrix_f32("ISTF", 1, 1, {1});
  w.matrix_header("1STF", 0x0101, 1, 2).u8(3).u8(4).pad().end_frame();
  LoadedStream s(w, "1STF");
  ResidualView view(0, 0, 10, 10, &s.cursor);
  const double m0 = std::sqrt(double(0.3f) * double(0.3f) + 0.4 * 0.4);
  const double n0 = std::sqrt(double(0.3f) * double(0.3f) + double(0.4f) * double(0.4f));
  // The current frame's imaginary part is read in full precision; a bin only the next frame has carries
  // only its share; without a next spectrum this one fades out; at most 256 bins; one-column and
  // eight-bit spectra count for nothing.
  expect_samples(view, {{1.0, 0, m0, 0}, {1.0, 1, 0.1, 0}, {1.25, 0, 0.75 * m0 + 0.25 * n0, 0},
                        {1.25, 2, 0.75 * std::sqrt(double(0.6f) * double(0.6f) + 0.8 * 0.8), 0},
                        {1.25, 3, 0.25 * 5.0, 0}, {1.25, 4, 0, 0}, {2.5, 3, 0.5 * 5.0, 0}, {3.5, 0, 0.5, 0},
                        {3.5, 255, 0.5, 0}, {5.5, 0, 0, 0}});
}
