// Tests of the in-memory document: loading, truncated and failing files, element blocks, and the
// stream cursors' linking.
#include <gtest/gtest.h>

#include "sdif/sdif_document.h"
#include "tests/support/temp_dir.h"
#include "tools/testfiles/sdif_writer.h"

namespace {

std::vector<SdifFrame*> frame_list(const SdifFile& file) {
  std::vector<SdifFrame*> frames;
  for (SdifFrame* f = file.frames; f; f = f->next) frames.push_back(f);
  return frames;
}

std::vector<SdifMatrix*> matrix_list(const SdifFrame* frame) {
  std::vector<SdifMatrix*> matrices;
  for (SdifMatrix* m = frame->matrices; m; m = m->next) matrices.push_back(m);
  return matrices;
}

std::vector<SdifFrame*> stream_chain(const SdifStreamCursor& cursor) {
  std::vector<SdifFrame*> chain;
  for (SdifFrame* f = cursor.first; f; f = f->next_in_stream) chain.push_back(f);
  return chain;
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

TEST(SdifDocument, LoadsFramesMatricesAndElements) {
  std::vector<size_t> ends;
  SdifFile file(save_temp(small_file(&ends), "document.sdif").c_str(), 0);
  ASSERT_EQ(file.result, SdifCode::Ok);
  EXPECT_EQ(file.read_all_frames(), SdifCode::Ok);
  EXPECT_EQ(file.result, SdifCode::Ok);

  std::vector<SdifFrame*> frames = frame_list(file);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0]->prev, nullptr);
  EXPECT_EQ(frames[1]->prev, frames[0]);
  EXPECT_EQ(frames[2]->prev, frames[1]);
  EXPECT_TRUE(SDIF_SameType(frames[1]->type, "1STF"));
  EXPECT_EQ(frames[1]->time, 0.75);
  EXPECT_EQ(frames[1]->stream_id, 2);
  EXPECT_EQ(frames[1]->size, int32_t(ends[1] - ends[0] - 8));
  for (SdifFrame* f : frames) EXPECT_EQ(f->next_in_stream, nullptr) << "no cursor has linked a stream yet";

  std::vector<SdifMatrix*> trc = matrix_list(frames[0]);
  ASSERT_EQ(trc.size(), 1u);
  EXPECT_EQ(trc[0]->rows, 2);
  EXPECT_EQ(trc[0]->columns, 4);
  const float* partials = static_cast<const float*>(trc[0]->data);
  EXPECT_EQ(partials[1], 440.0f);  // row 0, column 1
  EXPECT_EQ(partials[6], 0.25f);   // row 1, column 2

  std::vector<SdifMatrix*> stf = matrix_list(frames[1]);
  ASSERT_EQ(stf.size(), 2u);
  EXPECT_TRUE(SDIF_SameType(stf[0]->type, "ISTF"));
  EXPECT_EQ(static_cast<const float*>(stf[0]->data)[2], 1024.0f);
  EXPECT_EQ(stf[1]->data_type, 0x0008);
  EXPECT_EQ(static_cast<const double*>(stf[1]->data)[1], -0.4);
  EXPECT_EQ(static_cast<const uint8_t*>(matrix_list(frames[2])[0]->data)[0], 200);
}

TEST(SdifDocument, IntegerElementsKeepTheirBits) {
  SdifWriter w;
  w.file_header().begin_frame("1TRC", 0, 1, 2);
  w.matrix_i32("1TRC", 1, 3, {-2, 70000, INT32_MIN}).matrix_u32("1TRC", 1, 2, {4294967295u, 0x80000001u});
  SdifFile file(save_temp(w.end_frame(), "document.sdif").c_str(), 0);
  ASSERT_EQ(file.read_all_frames(), SdifCode::Ok);
  std::vector<SdifMatrix*> matrices = matrix_list(file.frames);
  ASSERT_EQ(matrices.size(), 2u);
  const int32_t* signed_elements = static_cast<const int32_t*>(matrices[0]->data);
  EXPECT_EQ(signed_elements[0], -2);
  EXPECT_EQ(signed_elements[1], 70000);
  EXPECT_EQ(signed_elements[2], INT32_MIN);
  const uint32_t* unsigned_elements = static_cast<const uint32_t*>(matrices[1]->data);
  EXPECT_EQ(unsigned_elements[0], 4294967295u);
  EXPECT_EQ(unsigned_elements[1], 0x80000001u);
}

TEST(SdifDocument, TruncatedFileDropsExactlyTheIncompleteFrame) {
  std::vector<size_t> ends;
  SdifWriter whole = small_file(&ends);
  std::string path = temp_path("prefix.sdif");
  for (size_t length = 16; length < whole.size(); length++) {
    whole.save_prefix(path, length);
    SdifFile file(path.c_str(), 0);
    ASSERT_EQ(file.result, SdifCode::Ok);
    EXPECT_EQ(file.read_all_frames(), SdifCode::Ok) << length;
    size_t complete = 0;
    while (complete < ends.size() && ends[complete] <= length) complete++;
    std::vector<SdifFrame*> frames = frame_list(file);
    ASSERT_EQ(frames.size(), complete) << "prefix of " << length << " bytes";
    if (complete > 0) {
      EXPECT_EQ(frames.back()->next, nullptr);
      EXPECT_EQ(static_cast<const float*>(frames[0]->matrices->data)[5], 880.0f);
    }
  }
}

TEST(SdifDocument, FailureBeforeTheEndKeepsEarlierFrames) {
  SdifWriter w;
  w.file_header();
  w.begin_frame("1TRC", 0.0, 1, 1).matrix_f32("1TRC", 1, 4, {1, 100, 0.5f, 0}).end_frame();
  w.begin_frame("1TRC", 0.1, 1, 0).end_frame();
  w.begin_frame("1TRC", 0.2, 1, 1).matrix_header("1TRC", 0x0003, 1, 3).u8(1).u8(2).u8(3).pad().end_frame();
  w.begin_frame("1TRC", 0.3, 1, 1).matrix_f32("1TRC", 1, 4, {1, 100, 0.5f, 0}).end_frame();
  SdifFile file(save_temp(w, "document.sdif").c_str(), 0);
  EXPECT_EQ(file.read_all_frames(), SdifCode::UnknownDataType);
  EXPECT_EQ(file.result, SdifCode::UnknownDataType);
  std::vector<SdifFrame*> frames = frame_list(file);
  ASSERT_EQ(frames.size(), 2u) << "the frames before the width-3 matrix stay";
  EXPECT_EQ(frames[1]->matrix_count, 0);
  EXPECT_EQ(frames[1]->matrices, nullptr);

  // A negative row count is refused with its own code, like any other failure before the end.
  SdifWriter negative;
  negative.file_header();
  negative.begin_frame("1TRC", 0.0, 1, 1).matrix_f32("1TRC", 1, 4, {1, 100, 0.5f, 0}).end_frame();
  negative.begin_frame("1TRC", 0.1, 1, 1).matrix_header("1TRC", 0x0004, -1, 4).u32(0).u32(0).end_frame();
  negative.begin_frame("1TRC", 0.2, 1, 0).end_frame();
  SdifFile refused(save_temp(negative, "document.sdif").c_str(), 0);
  EXPECT_EQ(refused.read_all_frames(), SdifCode::BadMatrixHeader);
  EXPECT_EQ(frame_list(refused).size(), 1u);
}

TEST(SdifDocument, EmptyMatricesAndFrames) {
  SdifWriter w;
  w.file_header();
  w.begin_frame("1TRC", 0.0, 1, 2).matrix_f32("1TRC", 0, 4, {}).matrix_f32("1TRC", 1, 1, {7}).end_frame();
  w.begin_frame("1TRC", 0.1, 1, -3).end_frame();
  w.begin_frame("1TRC", 0.2, 1, 1).matrix_header("1TRC", 0x0000, 5, 5).end_frame();
  SdifFile file(save_temp(w, "document.sdif").c_str(), 0);
  EXPECT_EQ(file.read_all_frames(), SdifCode::UnknownDataType) << "width 0 is unreadable, even with no data";
  std::vector<SdifFrame*> frames = frame_list(file);
  ASSERT_EQ(frames.size(), 2u);
  std::vector<SdifMatrix*> matrices = matrix_list(frames[0]);
  ASSERT_EQ(matrices.size(), 2u);
  EXPECT_EQ(matrices[0]->data, nullptr) << "0 rows: no block and no pad bytes read";
  EXPECT_EQ(static_cast<const float*>(matrices[1]->data)[0], 7.0f);
  EXPECT_EQ(frames[1]->matrix_count, -3);
  EXPECT_EQ(frames[1]->matrices, nullptr);
}

TEST(SdifDocument, HeaderOnlyAndUnopenableFiles) {
  SdifFile empty(save_temp(SdifWriter().file_header(16, 3, 1), "document.sdif").c_str(), 0);
  EXPECT_EQ(empty.read_all_frames(), SdifCode::Ok);
  EXPECT_EQ(empty.frames, nullptr);
  SdifStreamCursor cursor(empty.frames, "1TRC");
  EXPECT_EQ(cursor.first, nullptr);
  EXPECT_EQ(cursor.last, nullptr);
  EXPECT_EQ(cursor.current, nullptr);

  SdifFile missing(temp_path("missing.sdif").c_str(), 0);
  EXPECT_EQ(missing.file, nullptr);
  EXPECT_EQ(missing.result, SdifCode::CLibraryError);
  EXPECT_EQ(missing.read_all_frames(), SdifCode::ReadFailed);
  EXPECT_EQ(missing.result, SdifCode::CLibraryError) << "the opening code stays";

  SdifFile rejected(save_temp(SdifWriter().file_header(8, 3, 0), "document.sdif").c_str(), 0);
  EXPECT_EQ(rejected.result, SdifCode::OldTypesVersion);
  EXPECT_EQ(rejected.read_all_frames(), SdifCode::ReadFailed);
  EXPECT_EQ(rejected.result, SdifCode::OldTypesVersion);
}

TEST(SdifDocument, WritingModeCreatesAHeaderOnlyFile) {
  std::string path = temp_path("written.sdif");
  {
    SdifFile written(path.c_str(), 1);
    EXPECT_EQ(written.result, SdifCode::Ok);
    EXPECT_EQ(written.mode, 1);
  }
  SdifFile reread(path.c_str(), 0);
  EXPECT_EQ(reread.result, SdifCode::Ok);
  EXPECT_EQ(reread.read_all_frames(), SdifCode::Ok);
  EXPECT_EQ(reread.frames, nullptr);
}

TEST(SdifDocument, CursorsFollowOneStreamInFileOrder) {
  SdifWriter w;
  w.file_header();
  const struct {
    const char* type;
    int32_t stream;
  } layout[] = {
      {"1TRC", 1},  // 0: first of the 1TRC stream
      {"1FQ0", 2},  // 1: the only 1FQ0 frame
      {"1TRC", 1},  // 2
      {"XXXX", 1},  // 3: other type, same stream ID: linked, types are not compared
      {"1TRC", 4},  // 4: a second 1TRC stream, not followed
      {"1STF", 5},  // 5
      {"1TRC", 1},  // 6: last of the 1TRC stream
      {"1STF", 6},  // 7: another 1STF stream
      {"1STF", 5},  // 8: final frame of the file, last of the 1STF stream
  };
  for (int i = 0; i < 9; i++) w.begin_frame(layout[i].type, 0.1 * i, layout[i].stream, 0).end_frame();
  SdifFile file(save_temp(w, "document.sdif").c_str(), 0);
  ASSERT_EQ(file.read_all_frames(), SdifCode::Ok);
  std::vector<SdifFrame*> f = frame_list(file);
  ASSERT_EQ(f.size(), 9u);

  SdifStreamCursor trc(file.frames, "1TRC");
  EXPECT_EQ(stream_chain(trc), (std::vector<SdifFrame*>{f[0], f[2], f[3], f[6]}));
  EXPECT_EQ(trc.first, f[0]);
  EXPECT_EQ(trc.current, f[0]);
  EXPECT_EQ(trc.last, f[6]);
  EXPECT_EQ(f[6]->prev_in_stream, f[3]);
  EXPECT_EQ(f[3]->prev_in_stream, f[2]);
  EXPECT_EQ(f[0]->prev_in_stream, nullptr);
  EXPECT_EQ(f[4]->next_in_stream, nullptr);
  EXPECT_EQ(f[4]->prev_in_stream, nullptr);

  SdifStreamCursor fq0(file.frames, "1FQ0");
  EXPECT_EQ(fq0.first, f[1]);
  EXPECT_EQ(fq0.last, f[1]);
  EXPECT_EQ(f[1]->next_in_stream, nullptr);

  SdifStreamCursor stf(file.frames, "1STF");
  EXPECT_EQ(stream_chain(stf), (std::vector<SdifFrame*>{f[5], f[8]}));
  EXPECT_EQ(stf.last, f[8]) << "the stream's final frame is the file's final frame";

  SdifStreamCursor other(file.frames, "1STX");
  EXPECT_EQ(other.first, nullptr);
  EXPECT_EQ(other.last, nullptr);

  // A stream of one frame that is also the file's final frame.
  SdifWriter single;
  single.file_header().begin_frame("1TRC", 0, 1, 0).end_frame().begin_frame("1FQ0", 0, 2, 0).end_frame();
  SdifFile one(save_temp(single, "single.sdif").c_str(), 0);
  ASSERT_EQ(one.read_all_frames(), SdifCode::Ok);
  SdifStreamCursor last_frame(one.frames, "1FQ0");
  ASSERT_NE(last_frame.first, nullptr);
  EXPECT_EQ(last_frame.first, last_frame.last);
  EXPECT_EQ(last_frame.current, last_frame.first);
  EXPECT_EQ(last_frame.first->next, nullptr);
  EXPECT_EQ(last_frame.first->prev_in_stream, nullptr);
}
