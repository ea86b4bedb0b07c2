// Tests of the streaming survey: where and how each kind of file stops reading, and the stream and
// column figures it gathers. (Hostile headers meet the fuzzer's allocation limit as seeds.)
#include "info/file_survey.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include <gtest/gtest.h>

#include "tests/support/test_files.h"
#include "tools/testfiles/survey_files.h"

namespace {

// 16 header bytes; frame 0 at 16 (matrix header at 40, 12 data bytes at 56, pad at 68); frame 1 at 72
// (matrix header at 96, 32 data bytes at 112); 144 bytes in all.
SdifWriter two_frames() {
  SdifWriter w;
  w.file_header().begin_frame("1FQ0", 0, 1, 1).matrix_f32("1FQ0", 1, 3, {1, 2, 3}).end_frame();
  w.begin_frame("1TRC", 1, 2, 1).matrix_f64("1TRC", 2, 2, {1, 2, 3, 4}).end_frame();
  return w;
}

SdifWriter prefix(const SdifWriter& w, size_t length) { return SdifWriter().raw(w.bytes().data(), length); }

TEST(FileSurvey, WhereAndHowReadingStops) {
  SdifWriter width3 = two_frames();
  width3.begin_frame("1FQ0", 2, 1, 1).matrix_header("1FQ0", 0x0003, 1, 1).u32(0).end_frame();
  width3.begin_frame("1FQ0", 3, 1, 0).end_frame();
  SdifWriter negative_rows;
  negative_rows.file_header().begin_frame("1FQ0", 0, 1, 1).matrix_header("1FQ0", 0x0004, -1, 2).end_frame();
  const struct {
    const char* name;
    SdifWriter file;
    ReadOutcome outcome;
    SdifResult code;
    long long offset;  // where reading failed, 0 when it did not
    uint64_t frames;
  } cases[] = {
      {"whole", two_frames(), ReadOutcome::Complete, SdifCode::Ok, 0, 2},
      {"ends between frames", prefix(two_frames(), 72), ReadOutcome::Complete, SdifCode::Ok, 0, 1},
      {"cut in a pad", prefix(two_frames(), 70), ReadOutcome::Cut, SdifCode::ReadFailed, 68, 0},
      {"cut in a frame header", prefix(two_frames(), 80), ReadOutcome::Cut, SdifCode::ReadFailed, 72, 1},
      {"cut in a matrix header", prefix(two_frames(), 100), ReadOutcome::Cut, SdifCode::ReadFailed, 96, 1},
      {"cut in the elements", prefix(two_frames(), 143), ReadOutcome::Cut, SdifCode::ReadFailed, 112, 1},
      // A short file header is no cut frame: the viewer refuses the file.
      {"cut in the file header", prefix(two_frames(), 10), ReadOutcome::Damaged, SdifCode::ReadFailed, 0, 0},
      {"not SDIF", SdifWriter().raw("RIFF....WAVEfmt ", 16), ReadOutcome::Damaged, SdifCode::BadFileHeader, 0, 0},
      {"width 3", width3, ReadOutcome::Damaged, SdifCode::UnknownDataType, 168, 2},
      {"rows -1", negative_rows, ReadOutcome::Damaged, SdifCode::BadMatrixHeader, 40, 0},
  };
  for (const auto& c : cases) {
    FileSurvey s = survey_file(save_temp(c.file, "stop.sdif"));
    EXPECT_EQ(std::make_tuple(s.outcome, s.code, s.failure_offset, s.frames, s.file_size),
              std::make_tuple(c.outcome, c.code, c.offset, c.frames, (long long)c.file.size())) << c.name;
  }
  for (std::string path : {temp_path("missing.sdif"), temp_path("")}) {
    FileSurvey s = survey_file(path);
    EXPECT_TRUE(s.outcome == ReadOutcome::Unreadable && !s.reason.empty()) << path;
  }
  FilledPipe pipe(two_frames());
  FileSurvey piped = survey_file(pipe.path);
  EXPECT_EQ(std::make_tuple(piped.outcome, piped.frames, piped.file_size),
            std::make_tuple(ReadOutcome::Complete, uint64_t{2}, -1LL)) << "a pipe has no size";
}

TEST(FileSurvey, StreamsTimesAndColumnRanges) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  SdifWriter w;
  w.file_header();
  // Stream 1 goes 0, 1, 1 (a repeat), 0.5 (a step back); 0.1 must stay a double's 0.1.
  const double times[] = {0, 1, 1, 0.5};
  const std::vector<double> rows[] = {{0.1, -2}, {0.3, 5}, {nan, inf}, {0.2, -inf}};
  for (int f = 0; f < 4; f++) w.begin_frame("1FQ0", times[f], 1, 1).matrix_f64("1FQ0", 1, 2, rows[f]).end_frame();
  // 9000 elements of 3 columns come in pieces that end inside a row.
  std::vector<float> tracks;
  for (int r = 0; r < 3000; r++)
    for (int c = 0; c < 3; c++) tracks.push_back(float(c * 10000 + r));
  w.begin_frame("1TRC", 0, 2, 1).matrix_f32("1TRC", 3000, 3, tracks).end_frame();
  // Rows of 4 integers, folded a vector at a time; an unsigned value above the signed range.
  std::vector<int32_t> bins;
  for (int i = 0; i < 20; i++) bins.push_back(i % 4 == 1 ? -i : i);
  w.begin_frame("1STF", 0, 3, 2).matrix_u32("1STI", 1, 1, {4000000000u}).matrix_i32("1STF", 5, 4, bins).end_frame();
  // A last frame cut short opens no stream and shows no panel.
  w.begin_frame("1FQ0", 9, 7, 1).matrix_f32("1FQ0", 1, 1, {5});
  FileSurvey s = survey_file(save_temp(prefix(w, w.size() - 2), "streams.sdif"));

  ASSERT_EQ(s.outcome, ReadOutcome::Cut);
  ASSERT_EQ(s.streams.size(), 3u);
  const StreamSurvey& p = s.streams[0];
  EXPECT_EQ(std::make_tuple(p.frames, p.first_time, p.last_time, p.steps_back, p.repeated_times),
            std::make_tuple(uint64_t{4}, 0.0, 0.5, uint64_t{1}, uint64_t{1}));
  EXPECT_EQ(s.streams[2].min_matrices, 2);

  const struct {
    size_t stream, type, column;
    long double min, max;
    uint64_t nan, infinite;
  } ranges[] = {
      {0, 0, 0, 0.1, 0.3, 1, 0},      {0, 0, 1, -2, 5, 0, 2},       {1, 0, 0, 0, 2999, 0, 0},
      {1, 0, 1, 10000, 12999, 0, 0},  {1, 0, 2, 20000, 22999, 0, 0}, {2, 0, 0, 4e9L, 4e9L, 0, 0},
      {2, 1, 0, 0, 16, 0, 0},         {2, 1, 1, -17, -1, 0, 0},     {2, 1, 3, 3, 19, 0, 0},
  };
  for (const auto& r : ranges) {
    const ColumnRange& c = s.streams[r.stream].matrix_types[r.type].whole.columns.at(r.column);
    EXPECT_EQ(std::make_tuple(c.min, c.max, c.nan, c.infinite), std::make_tuple(r.min, r.max, r.nan, r.infinite))
        << r.stream << "/" << r.type << "/" << r.column;
  }
  EXPECT_EQ(s.streams[1].matrix_types[0].whole.max_rows, 3000);
  EXPECT_TRUE(s.viewer_opens());
  EXPECT_EQ(s.panel_stream, (std::array<int32_t, PANEL_COUNT>{1, 2, 3}));
}

TEST(FileSurvey, TrackIndicesAndBinsAsTheViewsReadThem) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  SdifWriter w;
  w.file_header();
  // Stream 1: a frame of another type before the first 1TRC frame, a second matrix, indices without an
  // int and a two-column matrix count for nothing; a later frame of another type counts, as the view reads it.
  w.begin_frame("XTRC", 0, 1, 1).matrix_f32("1TRC", 1, 3, {9000, 1, 1}).end_frame();
  w.begin_frame("1TRC", 1, 1, 2).matrix_f64("1TRC", 3, 3, {441.9, 1, 1, nan, 1, 1, 3e9, 1, 1});
  w.matrix_f32("1TRC", 1, 3, {8000, 1, 1}).end_frame();
  w.begin_frame("XTRC", 3, 1, 1).matrix_i32("1TRC", 1, 3, {460, 1, 1}).end_frame();
  w.begin_frame("1TRC", 4, 1, 1).matrix_f32("1TRC", 1, 2, {7000, 1}).end_frame();
  // Stream 2: an unsigned index above the int range reads as negative; none is larger.
  w.begin_frame("1TRC", 0, 2, 1).matrix_u32("1TRC", 1, 3, {4294967295u, 1, 1}).end_frame();
  // Stream 3: the first spectrum's rows, whatever later ones hold; stream 4's first frame has none.
  w.begin_frame("1STF", 0, 3, 2).matrix_f32("ISTF", 1, 1, {1}).matrix_f32("1STF", 3, 2, {0, 0, 0, 0, 0, 0});
  w.end_frame().begin_frame("1STF", 1, 3, 2).matrix_f32("ISTF", 1, 1, {1}).matrix_f32("1STF", 5, 2, std::vector<float>(10));
  w.end_frame().begin_frame("1STF", 0, 4, 1).matrix_f32("ISTF", 1, 1, {1}).end_frame();
  // Stream 5: 3000 rows come in pieces that end inside a row, the largest index in the last.
  std::vector<float> rows;
  for (int r = 0; r < 3000; r++) rows.insert(rows.end(), {float(r == 2999 ? 450 : r % 400), 1, 1});
  w.begin_frame("1TRC", 2, 5, 1).matrix_f32("1TRC", 3000, 3, rows).end_frame();
  // A cut frame adds nothing.
  w.begin_frame("1TRC", 5, 1, 1).matrix_f32("1TRC", 1, 3, {6000, 1, 1});
  FileSurvey s = survey_file(save_temp(prefix(w, w.size() - 2), "tracks.sdif"));
  ASSERT_EQ(s.streams.size(), 5u);
  const std::optional<int32_t> none;
  const std::tuple<bool, std::optional<int32_t>, std::optional<int32_t>> expected[] = {
      {true, 460, none}, {true, -1, none}, {false, none, 3}, {false, none, 0}, {true, 450, none}};
  for (size_t i = 0; i < 5; i++)
    EXPECT_EQ(std::make_tuple(s.streams[i].has_tracks, s.streams[i].largest_track_index, s.streams[i].bins), expected[i])
        << "stream " << s.streams[i].id;
}

TEST(FileSurvey, LimitsHoldOverTheWholeFile) {
  // Wide types spend the file's allowance of ranged columns, in order; many narrow ones its allowance
  // of matrix types, and the rest are counted per stream.
  const struct {
    int streams, types, columns;
    size_t ranged_types, surveyed_types;
  } files[] = {
      {32, 64, 1024, MAX_RANGED_COLUMNS_IN_ALL / 1024, 32 * 64},
      {128, 64, 1, 128 * 64, MAX_MATRIX_TYPES_IN_ALL},
  };
  for (const auto& f : files) {
    FileSurvey s = survey_file(save_temp(many_wide_types(f.streams, f.types, f.columns), "wide.sdif"));
    ASSERT_EQ(s.outcome, ReadOutcome::Complete);
    size_t ranged_types = 0, surveyed_types = 0;
    uint64_t unsurveyed = 0;
    for (const StreamSurvey& stream : s.streams) {
      unsurveyed += stream.unsurveyed_matrices;
      for (const MatrixTypeSurvey& t : stream.matrix_types) {
        surveyed_types++;
        ranged_types += t.whole.columns.size() == size_t(f.columns);
        EXPECT_TRUE(t.whole.columns.empty() || t.whole.columns.size() == size_t(f.columns)) << "whole types or none";
      }
    }
    EXPECT_EQ(ranged_types, std::min(f.ranged_types, surveyed_types));
    EXPECT_EQ(surveyed_types, f.surveyed_types);
    EXPECT_EQ(unsurveyed, uint64_t(f.streams * f.types) - surveyed_types);
  }
}

}  // namespace
