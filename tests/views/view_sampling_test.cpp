// Tests of the views' shared rules and of each view's column sampling, on small streams loaded from
// test files: column times, the frame pair, interpolation, fades, takeovers and the guards. No display.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "tests/support/loaded_stream.h"
#include "views/pitch_view.h"
#include "views/residual_view.h"
#include "views/track_view.h"

namespace {

// Half-way between two frames the weight passes through float values; this is close enough to tell
// every wrong rule apart.
constexpr double NEAR = 1e-6;

// What sample_column fills for the pitch and track views: values or frequencies, and amplitudes.
struct Sampled {
  SlotValues heights;
  SlotValues amplitudes;
};

// A stream of one-matrix frames of `type` at the given times, each matrix given as float rows.
SdifWriter stream_of(const char* type, const std::vector<std::pair<double, std::vector<std::vector<float>>>>& frames) {
  SdifWriter w;
  w.file_header();
  for (const auto& [time, rows] : frames) {
    std::vector<float> elements;
    for (const auto& row : rows) elements.insert(elements.end(), row.begin(), row.end());
    int columns = rows.empty() ? 2 : static_cast<int>(rows[0].size());
    w.begin_frame(type, time, 1, 1).matrix_f32(type, static_cast<int>(rows.size()), columns, elements).end_frame();
  }
  return w;
}

// The frame that the walk from frame `f` reaches for time t: forward while the next frame is earlier.
const SdifFrame* walked_to(const SdifFrame* f, double t) {
  while (f->next_in_stream && t > f->next_in_stream->time) f = f->next_in_stream;
  return f;
}

}  // namespace

TEST(SdifView, StartsAtItsRestingFractionsWithoutACurve) {
  LoadedStream s(stream_of("1FQ0", {{1.0, {{100, 1}}}}), "1FQ0");
  SdifView view(0, 0, 10, 10, &s.cursor);
  EXPECT_EQ(view.cursor, &s.cursor);
  EXPECT_EQ(view.time_position, 0.0f);
  EXPECT_EQ(view.time_size, 1.0f);
  EXPECT_EQ(view.vertical_position, 0.0f);
  EXPECT_EQ(view.vertical_size, 1.0f);
  EXPECT_FALSE(view.contrast_curve);
  EXPECT_EQ(view.handle(FL_PUSH), 0);
  EXPECT_EQ(view.label(), nullptr);

  EXPECT_EQ(PitchView(0, 0, 1, 1, &s.cursor).contrast_curve->contrast, 0.5f);
  EXPECT_EQ(TrackView(0, 0, 1, 1, &s.cursor).contrast_curve->contrast, 0.3f);
  EXPECT_EQ(ResidualView(0, 0, 1, 1, &s.cursor).contrast_curve->contrast, 0.5f);
}

TEST(SdifView, ColumnTimesComeFromTheFractionsInDoublePrecision) {
  LoadedStream s(stream_of("1FQ0", {{1.0, {}}, {2.0, {}}, {3.0, {}}}), "1FQ0");
  SdifView view(5, 0, 3, 10, &s.cursor);
  view.time_position = 0.1f;
  view.time_size = 0.7f;
  s.cursor.current = s.cursor.last;
  double t = 0, dt = 0;
  ASSERT_TRUE(view.start_columns(t, dt));
  EXPECT_EQ(s.cursor.current, s.cursor.first);
  // The float fractions are widened, not rounded to a float after the product.
  EXPECT_EQ(t, 1.0 + static_cast<double>(0.1f) * 2.0);
  EXPECT_EQ(dt, static_cast<double>(0.7f) * 2.0 / 3);

  view.size(0, 10);
  EXPECT_FALSE(view.start_columns(t, dt));

  LoadedStream same(stream_of("1FQ0", {{4.0, {}}, {4.0, {}}}), "1FQ0");
  SdifView flat(0, 0, 4, 10, &same.cursor);
  flat.time_position = 0.5f;
  ASSERT_TRUE(flat.start_columns(t, dt));
  EXPECT_EQ(t, 4.0);
  EXPECT_EQ(dt, 0.0);

  SdifStreamCursor none(s.file.frames, "1TRC");
  SdifView empty(0, 0, 4, 10, &none);
  EXPECT_FALSE(empty.start_columns(t, dt));
  double w = 1.0;
  EXPECT_EQ(empty.frame_pair(1.0, w), nullptr);
  EXPECT_EQ(w, 0.0);
}

TEST(SdifView, FramePairFollowsTheWalkWhateverTheTimes) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 6; ++trial) {
    // Sorted streams with repeated times, long enough to be indexed, and streams out of order.
    bool sorted = trial < 4;
    std::vector<std::pair<double, std::vector<std::vector<float>>>> frames;
    double time = 0;
    for (int i = 0; i < 700; ++i) {
      time = sorted ? time + (random() % 3) * 0.5 : (random() % 100) * 0.25;
      frames.push_back({time, {}});
    }
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
        const SdifFrame* expected = walked_to(s.cursor.current, t);
        double w;
        const SdifFrame* current = view.frame_pair(t, w);
        ASSERT_EQ(current, expected) << "trial " << trial << " t " << t;
        const SdifFrame* next = current->next_in_stream;
        if (next) {
          EXPECT_TRUE(std::isnan(w) || w == (t - current->time) / (next->time - current->time));
        } else {
          EXPECT_EQ(w, 0.0);
        }
      }
    }
  }
}

TEST(PitchView, InterpolatesValuesAndWeights) {
  LoadedStream s(stream_of("1FQ0", {{1.0, {{100, 0.5f}, {200, 0.8f}, {0, 0.0f}, {400, 0.25f}}},
                                     {2.0, {{200, 0.5f}, {0, 0.0f}, {300, 0.6f}}}}),
                 "1FQ0");
  PitchView view(0, 0, 10, 10, &s.cursor);
  Sampled p;
  view.sample_column(1.5, p.heights, p.amplitudes);
  EXPECT_NEAR(p.heights[0], 150, NEAR);
  EXPECT_NEAR(p.amplitudes[0], 0.5, NEAR);
  // A zero in the next frame takes over at once; the weight fades out.
  EXPECT_EQ(p.heights[1], 0.0);
  EXPECT_NEAR(p.amplitudes[1], 0.8 * 0.5, NEAR);
  // A zero in this frame: the next frame's value at once, fading in.
  EXPECT_NEAR(p.heights[2], 300, NEAR);
  EXPECT_NEAR(p.amplitudes[2], 0.6 * 0.5, NEAR);
  // A row missing from the next frame keeps its value and fades out.
  EXPECT_NEAR(p.heights[3], 400, NEAR);
  EXPECT_NEAR(p.amplitudes[3], 0.25 * 0.5, NEAR);
  EXPECT_EQ(p.amplitudes[4], 0.0);

  view.sample_column(1.25, p.heights, p.amplitudes);
  EXPECT_NEAR(p.heights[0], 125, NEAR);
  EXPECT_NEAR(p.amplitudes[1], 0.8 * 0.75, NEAR);
  view.sample_column(2.0, p.heights, p.amplitudes);
  EXPECT_EQ(s.cursor.current, s.cursor.first);
  EXPECT_EQ(p.amplitudes[1], 0.0);
  EXPECT_NEAR(p.heights[0], 200, NEAR);

  // Past the last frame: that frame alone, unweighted.
  view.sample_column(9.0, p.heights, p.amplitudes);
  EXPECT_EQ(s.cursor.current, s.cursor.last);
  EXPECT_EQ(p.heights[2], 300.0);
  EXPECT_EQ(p.amplitudes[2], static_cast<double>(0.6f));
  EXPECT_EQ(p.amplitudes[3], 0.0);
}

TEST(PitchView, ReadsWeightsInFullPrecisionAndGuardsOddMatrices) {
  SdifWriter w;
  w.file_header();
  w.begin_frame("1FQ0", 0.0, 1, 1).matrix_f64("1FQ0", 1, 2, {0.1, 0.1}).end_frame();
  w.begin_frame("1FQ0", 1.0, 1, 1).matrix_f32("1FQ0", 2, 1, {100, 200}).end_frame();
  w.begin_frame("1FQ0", 2.0, 1, 1).matrix_f32("1FQ0", 2, 1, {300, 400}).end_frame();
  w.begin_frame("1FQ0", 3.0, 1, 1).matrix_header("1FQ0", 0x0101, 2, 2).u8(9).u8(9).u8(9).u8(9).pad().end_frame();
  w.begin_frame("1FQ0", 4.0, 1, 0).end_frame();
  w.begin_frame("1FQ0", 5.0, 1, 1).matrix_i32("1FQ0", 1, 2, {500, 1}).end_frame();
  w.begin_frame("1FQ0", 6.0, 1, 1).matrix_u32("1FQ0", 1, 2, {600, 1}).end_frame();
  LoadedStream s(w, "1FQ0");
  PitchView view(0, 0, 10, 10, &s.cursor);
  Sampled p;

  view.sample_column(0.0, p.heights, p.amplitudes);
  EXPECT_EQ(p.heights[0], static_cast<double>(0.1f));  // the value passes through a float
  EXPECT_EQ(p.amplitudes[0], 0.1);                     // the current weight does not

  // One-column matrices weigh every row 1, whatever the interpolation.
  view.sample_column(1.75, p.heights, p.amplitudes);
  EXPECT_NEAR(p.heights[0], 250, NEAR);
  EXPECT_NEAR(p.heights[1], 350, NEAR);
  EXPECT_EQ(p.amplitudes[0], 1.0);
  EXPECT_EQ(p.amplitudes[1], 1.0);

  // Eight-bit elements are not numbers the view reads: value 0, weight 1, so the value takes over.
  view.sample_column(2.5, p.heights, p.amplitudes);
  EXPECT_EQ(p.heights[0], 0.0);
  EXPECT_EQ(p.amplitudes[0], 1.0);
  view.sample_column(3.0, p.heights, p.amplitudes);
  EXPECT_EQ(p.heights[1], 0.0);

  // A frame without a matrix has no rows; the next frame's rows still fade in.
  view.sample_column(4.25, p.heights, p.amplitudes);
  EXPECT_EQ(p.heights[0], 500.0);
  EXPECT_EQ(p.amplitudes[0], 0.25);
  EXPECT_EQ(p.amplitudes[1], 0.0);
  view.sample_column(5.5, p.heights, p.amplitudes);
  EXPECT_EQ(p.heights[0], 550.0);
}

TEST(PitchView, UsesAtMost256RowsAndBreaksOnEqualTimes) {
  std::vector<std::vector<float>> rows;
  for (int i = 0; i < 300; ++i) rows.push_back({float(i + 1), 1});
  LoadedStream s(stream_of("1FQ0", {{1.0, rows}, {1.0, {{5, 1}}}}), "1FQ0");
  PitchView view(0, 0, 10, 10, &s.cursor);
  Sampled p;
  view.sample_column(1.0, p.heights, p.amplitudes);
  EXPECT_EQ(p.heights[255], 256.0);
  EXPECT_TRUE(std::isnan(p.amplitudes[0]));   // w = 0 / 0
  EXPECT_TRUE(std::isnan(p.amplitudes[255]));
}

TEST(TrackView, MatchesPartialsByTrackIndex) {
  LoadedStream s(stream_of("1TRC", {{1.0, {{3, 440, 0.5f}, {2, 300, 0.4f}, {7, 100, 0.2f}, {7, 700, 0.3f}}},
                                    {3.0,
                                     {{3, 460, 0.7f}, {2, 0, 0.2f}, {5, 1000, 0.8f}, {9, 50, 0.1f}, {9, 70, 0.3f}}}}),
                 "1TRC");
  TrackView view(0, 0, 10, 10, &s.cursor);
  Sampled p;
  view.sample_column(2.0, p.heights, p.amplitudes);
  EXPECT_NEAR(p.heights[3], 450, NEAR);
  EXPECT_NEAR(p.amplitudes[3], 0.6, NEAR);
  EXPECT_EQ(p.heights[2], 0.0);
  EXPECT_NEAR(p.amplitudes[2], 0.4 * 0.5 + 0.2 * 0.5, NEAR);
  EXPECT_EQ(p.heights[5], 1000.0);
  EXPECT_NEAR(p.amplitudes[5], 0.8 * 0.5, NEAR);
  // In either frame the later row with an index wins.
  EXPECT_EQ(p.heights[7], 700.0);
  EXPECT_NEAR(p.amplitudes[7], 0.3 * 0.5, NEAR);
  EXPECT_EQ(p.heights[9], 70.0);
  EXPECT_NEAR(p.amplitudes[9], 0.3 * 0.5, NEAR);
  for (int k : {0, 1, 4, 6, 8, 10, 255}) EXPECT_EQ(p.amplitudes[k], 0.0) << k;

  view.sample_column(2.5, p.heights, p.amplitudes);
  EXPECT_EQ(p.heights[2], 0.0);
  EXPECT_NEAR(p.amplitudes[5], 0.8 * 0.75, NEAR);
}

TEST(TrackView, ReadsIndicesByTruncationAndIgnoresWhatHasNoSlot) {
  SdifWriter w;
  w.file_header();
  w.begin_frame("1TRC", 0.0, 1, 1)
      .matrix_f64("1TRC", 6, 3, {3.9, 100, 0.1, -1, 200, 1, 256, 300, 1, 1e12, 400, 1, -0.5, 500, 0.5, NAN, 600, 1})
      .end_frame();
  w.begin_frame("1TRC", 1.0, 1, 1).matrix_f32("1TRC", 2, 2, {1, 100, 2, 200}).end_frame();
  w.begin_frame("1TRC", 2.0, 1, 1).matrix_header("1TRC", 0x0101, 1, 3).u8(1).u8(2).u8(3).pad().end_frame();
  w.begin_frame("1TRC", 3.0, 1, 1).matrix_i32("1TRC", 1, 3, {4, 800, 1}).end_frame();
  w.begin_frame("1TRC", 4.0, 1, 1).matrix_u32("1TRC", 2, 3, {4294967295u, 1, 1, 4, 900, 1}).end_frame();
  LoadedStream s(w, "1TRC");
  TrackView view(0, 0, 10, 10, &s.cursor);
  Sampled p;

  view.sample_column(0.0, p.heights, p.amplitudes);
  EXPECT_EQ(p.heights[3], 100.0);
  EXPECT_EQ(p.amplitudes[3], 0.1);  // full precision in the current frame
  EXPECT_EQ(p.heights[0], 500.0);   // -0.5 truncates to track 0
  EXPECT_EQ(p.amplitudes[0], 0.5);
  int present = 0;
  for (double a : p.amplitudes) present += a != 0.0;
  EXPECT_EQ(present, 2);

  // Two-column and eight-bit matrices hold no partials.
  view.sample_column(1.5, p.heights, p.amplitudes);
  for (double a : p.amplitudes) ASSERT_EQ(a, 0.0);
  view.sample_column(2.5, p.heights, p.amplitudes);
  EXPECT_EQ(p.heights[4], 800.0);
  EXPECT_EQ(p.amplitudes[4], 0.5);

  // An unsigned index above the int range reads as negative and names no track.
  view.sample_column(3.5, p.heights, p.amplitudes);
  EXPECT_EQ(p.heights[4], 850.0);
  present = 0;
  for (double a : p.amplitudes) present += a != 0.0;
  EXPECT_EQ(present, 1);
}

TEST(ResidualView, InterpolatesBinMagnitudes) {
  SdifWriter w;
  w.file_header();
  w.begin_frame("1STF", 1.0, 1, 2).matrix_f32("ISTF", 1, 3, {44100, 1024, 1024});
  w.matrix_f64("1STF", 3, 2, {0.3, 0.4, 0.0, 0.1, 0.6, 0.8}).end_frame();
  w.begin_frame("1STF", 2.0, 1, 2).matrix_f32("ISTF", 1, 3, {44100, 1024, 1024});
  w.matrix_f32("1STF", 4, 2, {0.3f, 0.4f, 0.0f, 0.0f, 0.0f, 0.0f, 3.0f, 4.0f}).end_frame();
  w.begin_frame("1STF", 3.0, 1, 1).matrix_f32("ISTF", 1, 3, {44100, 1024, 1024}).end_frame();
  LoadedStream s(w, "1STF");
  ResidualView view(0, 0, 10, 10, &s.cursor);
  SlotValues m;

  view.sample_column(1.0, m);
  EXPECT_NEAR(m[0], 0.5, NEAR);
  EXPECT_DOUBLE_EQ(m[1], 0.1);  // the current frame's imaginary part is read in full precision
  EXPECT_NEAR(m[2], 1.0, NEAR);

  view.sample_column(1.25, m);
  EXPECT_NEAR(m[0], 0.5, NEAR);
  EXPECT_NEAR(m[1], 0.1 * 0.75, NEAR);
  EXPECT_NEAR(m[2], 0.75, NEAR);
  // A bin only the next frame has carries only its share.
  EXPECT_NEAR(m[3], 5.0 * 0.25, NEAR);
  EXPECT_EQ(m[4], 0.0);

  // The next frame has no spectrum: the current one fades out alone.
  view.sample_column(2.5, m);
  EXPECT_NEAR(m[0], 0.25, NEAR);
  EXPECT_NEAR(m[3], 2.5, NEAR);
  view.sample_column(7.0, m);
  for (double v : m) ASSERT_EQ(v, 0.0);
}

TEST(ResidualView, UsesAtMost256BinsAndReadsOnlyNumericSpectra) {
  std::vector<float> big;
  for (int i = 0; i < 300; ++i) big.insert(big.end(), {1.0f, 0.0f});
  SdifWriter w;
  w.file_header();
  w.begin_frame("1STF", 0.0, 1, 2).matrix_f32("ISTF", 1, 1, {1}).matrix_f32("1STF", 300, 2, big).end_frame();
  w.begin_frame("1STF", 1.0, 1, 2).matrix_f32("ISTF", 1, 1, {1}).matrix_f32("1STF", 1, 1, {1}).end_frame();
  w.begin_frame("1STF", 2.0, 1, 2).matrix_f32("ISTF", 1, 1, {1});
  w.matrix_header("1STF", 0x0101, 1, 2).u8(3).u8(4).pad().end_frame();
  LoadedStream s(w, "1STF");
  ResidualView view(0, 0, 10, 10, &s.cursor);
  SlotValues m;
  view.sample_column(0.5, m);
  EXPECT_EQ(m[255], 0.5);
  // One-column and eight-bit spectra contribute nothing.
  view.sample_column(1.5, m);
  for (double v : m) ASSERT_EQ(v, 0.0);
}
