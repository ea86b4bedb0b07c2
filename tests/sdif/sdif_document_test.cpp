// Tests of the in-memory document: loading, truncated and failing files, element access and the
// stream cursors' linking.
#include <gtest/gtest.h>

#include <cmath>

#include "sdif/sdif_document.h"
#include "tests/support/test_files.h"

namespace {

std::vector<SdifFrame*> frame_list(const SdifFile& file) {
  std::vector<SdifFrame*> frames;
  for (SdifFrame* f = file.frames; f; f = f->next) frames.push_back(f);
  return frames;
}

// Three frames whose matrices end with 0, 4 and 7 pad bytes, and the file offset after each.
SdifWriter small_file(std::vector<size_t>* frame_ends) {
  SdifWriter w;
  w.file_header();
  w.begin_frame("1TRC", 0.5, 1, 1).matrix_f32("1TRC", 2, 4, {1, 440, 0.5f, 0, 2, 880, 0.25f, 0}).end_frame();
  frame_ends->push_back(w.size());
  w.begin_frame("1STF", 0.75, 2, 2).matrix_f32("ISTF", 1, 3, {44100, 1024, 1024});
  w.matrix_f64("1STF", 1, 2, {0.3, -0.4}).end_frame();
  frame_ends->push_back(w.size());
  w.begin_frame("1FQ0", 1.0, 3, 1).matrix_header("1FQ0", 0x0301, 1, 1).u8(200).pad().end_frame();
  frame_ends->push_back(w.size());
  return w;
}

}  // namespace

TEST(SdifDocument, EveryPrefixKeepsExactlyTheCompleteFrames) {
  std::vector<size_t> ends;
  SdifWriter whole = small_file(&ends);
  std::string path = temp_path("prefix.sdif");
  for (size_t length = 16; length <= whole.size(); length++) {
    SCOPED_TRACE(testing::Message() << "prefix of " << length << " bytes");
    whole.save_prefix(path, length);
    SdifFile file(path.c_str(), 0);
    EXPECT_EQ(file.read_all_frames(), SdifCode::Ok);
    std::vector<SdifFrame*> frames = frame_list(file);
    ASSERT_EQ(frames.size(), size_t(std::upper_bound(ends.begin(), ends.end(), length) - ends.begin()));
    for (size_t i = 0; i < frames.size(); i++) EXPECT_EQ(frames[i]->prev, i ? frames[i - 1] : nullptr);
    if (frames.size() < 3) continue;
    EXPECT_EQ(frames[1]->time, 0.75);
    EXPECT_EQ(frames[1]->stream_id, 2);
    EXPECT_EQ(frames[1]->size, int32_t(ends[1] - ends[0] - 8));
    EXPECT_EQ(static_cast<const float*>(frames[0]->matrices->data)[6], 0.25f);  // row 1, column 2
    const SdifMatrix* spectrum = frames[1]->matrices->next;
    EXPECT_EQ(static_cast<const double*>(spectrum->data)[1], -0.4);
    EXPECT_EQ(spectrum->next, nullptr);
    EXPECT_EQ(static_cast<const uint8_t*>(frames[2]->matrices->data)[0], 200);
  }
}

TEST(SdifDocument, FailuresKeepTheFramesBeforeThem) {
  SdifWriter good;
  good.file_header().begin_frame("1TRC", 0.0, 1, 2).matrix_f32("1TRC", 0, 4, {}).matrix_f32("1TRC", 1, 1, {7});
  good.end_frame().begin_frame("1TRC", 0.1, 1, -3).end_frame();
  const struct {
    SdifWriter tail;
    SdifResult code;
  } cases[] = {
      {SdifWriter().begin_frame("1TRC", 0.2, 1, 1).matrix_header("1TRC", 3, 1, 3).u32(0).u32(0).end_frame(),
       SdifCode::UnknownDataType},
      {SdifWriter().begin_frame("1TRC", 0.2, 1, 1).matrix_header("1TRC", 0, 5, 5).end_frame(),
       SdifCode::UnknownDataType},  // width 0 is unreadable, even with no data
      {SdifWriter().begin_frame("1TRC", 0.2, 1, 1).matrix_header("1TRC", 4, -1, 4).u32(0).u32(0).end_frame(),
       SdifCode::BadMatrixHeader},
  };
  for (const auto& c : cases) {
    SdifWriter w = good;
    w.raw(c.tail.bytes().data(), c.tail.size()).begin_frame("1TRC", 0.3, 1, 0).end_frame();
    SdifFile file(save_temp(w, "failing.sdif").c_str(), 0);
    EXPECT_EQ(file.read_all_frames(), c.code);
    EXPECT_EQ(file.result, c.code);
    std::vector<SdifFrame*> frames = frame_list(file);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0]->matrices->data, nullptr) << "0 rows: no block and no pad bytes read";
    EXPECT_EQ(static_cast<const float*>(frames[0]->matrices->next->data)[0], 7.0f);
    EXPECT_EQ(frames[1]->matrices, nullptr);
  }

  SdifFile missing(temp_path("missing.sdif").c_str(), 0);
  EXPECT_EQ(missing.result, SdifCode::CLibraryError);
  EXPECT_EQ(missing.read_all_frames(), SdifCode::ReadFailed);
  EXPECT_EQ(missing.result, SdifCode::CLibraryError) << "the opening code stays";
  SdifFile rejected(save_temp(SdifWriter().file_header(8, 3, 0), "old.sdif").c_str(), 0);
  EXPECT_EQ(rejected.result, SdifCode::OldTypesVersion);
  EXPECT_EQ(rejected.read_all_frames(), SdifCode::ReadFailed);

  std::string written = temp_path("written.sdif");
  EXPECT_EQ(SdifFile(written.c_str(), 1).result, SdifCode::Ok);
  SdifFile reread(written.c_str(), 0);
  EXPECT_EQ(reread.read_all_frames(), SdifCode::Ok);
  EXPECT_EQ(reread.frames, nullptr);
}

TEST(SdifDocument, ElementsConvertFromEachNumericType) {
  SdifWriter w;
  w.file_header().begin_frame("TEST", 0.0, 1, 6);
  w.matrix_f32("TEST", 2, 3, {-2.7f, 0.1f, 3.0e9f, 0, 0, 0});
  w.matrix_f64("TEST", 1, 3, {0.1, -2.7, 1e300});
  w.matrix_i32("TEST", 1, 2, {-16777217, 2147483647});
  w.matrix_u32("TEST", 1, 2, {4294967295u, 7u});
  w.matrix_header("TEST", 0x0101, 1, 2).u8(5).u8(6).pad();
  w.matrix_header("TEST", 0x0304, 1, 1).f32(1.5f).pad();
  LoadedStream s(w.end_frame(), "TEST");
  std::vector<const SdifMatrix*> m;
  for (const SdifMatrix* matrix = s.cursor.first->matrices; matrix; matrix = matrix->next) m.push_back(matrix);
  const struct {
    int matrix, column, row;
    float f;
    int32_t i;  // 42: no integer, the output stays
    double d;
  } cases[] = {
      {0, 1, 0, 0.1f, 0, double(0.1f)},     {0, 0, 0, -2.7f, -2, double(-2.7f)},
      {0, 2, 0, 3.0e9f, 42, double(3.0e9f)}, {0, 1, 1, 0.0f, 0, 0.0},
      {1, 0, 0, 0.1f, 0, 0.1},              {1, 1, 0, -2.7f, -2, -2.7},
      {2, 0, 0, -16777216.0f, -16777217, -16777217.0}, {2, 1, 0, 2147483648.0f, 2147483647, 2147483647.0},
      {3, 0, 0, 4294967296.0f, -1, 4294967295.0},      {4, 0, 0, 9.5f, 42, 9.25},
      {5, 0, 0, 9.5f, 42, 9.25},  // neither element type is converted: outputs stay
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "matrix " << c.matrix << " at " << c.column << ", " << c.row);
    float f = 9.5f;
    int32_t i = 42;
    double d = 9.25;
    m[c.matrix]->element_as_float(c.column, c.row, f);
    m[c.matrix]->element_as_int(c.column, c.row, i);
    m[c.matrix]->element_as_double(c.column, c.row, d);
    EXPECT_EQ(f, c.f);
    EXPECT_EQ(i, c.i);
    EXPECT_EQ(d, c.d);
  }
  float inf = 0;
  m[1]->element_as_float(2, 0, inf);
  EXPECT_TRUE(std::isinf(inf));
}

TEST(SdifDocument, CursorsFollowOneStreamInFileOrder) {
  SdifWriter w;
  w.file_header();
  const std::pair<const char*, int32_t> layout[] = {
      {"1TRC", 1}, {"1FQ0", 2}, {"1TRC", 1},
      {"XXXX", 1},  // other type, same stream ID: linked, types are not compared
      {"1TRC", 4},  // a second 1TRC stream, not followed
      {"1STF", 5}, {"1TRC", 1}, {"1STF", 6}, {"1STF", 5}};
  for (int i = 0; i < 9; i++) w.begin_frame(layout[i].first, 0.1 * i, layout[i].second, 0).end_frame();
  LoadedStream s(w, "1TRC");
  std::vector<SdifFrame*> f = frame_list(s.file);
  const struct {
    const char* type;
    std::vector<int> chain;
  } streams[] = {{"1TRC", {0, 2, 3, 6}}, {"1FQ0", {1}}, {"1STF", {5, 8}}, {"1STX", {}}};
  for (const auto& stream : streams) {
    SdifStreamCursor cursor(s.file.frames, stream.type);
    std::vector<SdifFrame*> forward, backward, expected;
    for (int i : stream.chain) expected.push_back(f[size_t(i)]);
    for (SdifFrame* frame = cursor.first; frame; frame = frame->next_in_stream) forward.push_back(frame);
    for (SdifFrame* frame = cursor.last; frame; frame = frame->prev_in_stream) backward.insert(backward.begin(), frame);
    EXPECT_EQ(forward, expected) << stream.type;
    EXPECT_EQ(backward, expected) << stream.type;
    EXPECT_EQ(cursor.current, cursor.first) << stream.type;
  }
  EXPECT_EQ(f[4]->next_in_stream, nullptr);
  EXPECT_EQ(f[4]->prev_in_stream, nullptr);
}
