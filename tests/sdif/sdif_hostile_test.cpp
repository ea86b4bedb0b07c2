// Tests of the loader on hostile files: a header that claims a block the file cannot hold loads like
// a truncated file without sizing memory by the claim, while real large blocks still load; also from
// a pipe, whose length the loader cannot know.
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "sdif/sdif_document.h"
#include "tests/support/call_log.h"
#include "tests/support/test_files.h"
#include "tools/testfiles/hostile_headers.h"

namespace {

struct Load {
  SdifResult result;
  size_t frames;
  CallLog log;
  std::vector<uint8_t> first_block;  // of the first frame's first matrix, `block_bytes` long
};

Load load(const SdifWriter& writer, bool piped, size_t block_bytes = 0, size_t refused_over = SIZE_MAX) {
  std::unique_ptr<FilledPipe> pipe(piped ? new FilledPipe(writer) : nullptr);
  SdifFile file((piped ? pipe->path : save_temp(writer, "hostile.sdif")).c_str(), 0);
  start_recording(refused_over);
  Load load{file.read_all_frames(), 0, stop_recording(), {}};
  for (SdifFrame* f = file.frames; f; f = f->next) load.frames++;
  if (block_bytes && file.frames && file.frames->matrices && file.frames->matrices->data) {
    const uint8_t* data = static_cast<const uint8_t*>(file.frames->matrices->data);
    load.first_block.assign(data, data + block_bytes);
  }
  return load;
}

}  // namespace

TEST(SdifHostile, ImpossibleClaimsAllocateNothingBig) {
  const struct {
    int32_t data_type, rows, columns;
    SdifResult code;  // from a file; 1 frame is kept before the claim
  } claims[] = {
      {0x0004, 1 << 20, 256, SdifCode::Ok},      // 1 GiB of floats: loads as truncated
      {0x0008, 268435455, 1, SdifCode::Ok},      // the largest block a 32-bit size allows
      {0x0301, 1, 2147483640, SdifCode::Ok},     // bytes
      {0x0004, 1, 1100, SdifCode::Ok},           // just over the size that is never checked
      {0x0001, 1, 8193, SdifCode::Ok},           // bytes, with pad bytes beyond the end
      {0x0003, 1 << 20, 256, SdifCode::UnknownDataType},  // an unreadable width is not a truncation
      {0x0004, -1, 4, SdifCode::BadMatrixHeader},
      {0x0004, 4, INT32_MIN, SdifCode::BadMatrixHeader},
      {0x0004, 65536, 65536, SdifCode::BadMatrixHeader},
  };
  for (const auto& c : claims) {
    SCOPED_TRACE(testing::Message() << c.data_type << ": " << c.rows << "x" << c.columns);
    for (bool piped : {false, true}) {
      // From a pipe the claim cannot be checked first; only the first piece of the block is allocated.
      Load result = load(claiming(c.data_type, c.rows, c.columns), piped);
      EXPECT_EQ(result.result, c.code) << piped;
      EXPECT_EQ(result.frames, 1u) << "the frame with the impossible matrix is dropped";
      EXPECT_LE(result.log.largest_allocation, 4096u);
      EXPECT_LE(result.log.total_allocated, piped ? 8192u : 4096u);
    }
  }
  SdifWriter many;
  many.file_header().begin_frame("1TRC", 0.0, 1, INT32_MAX).matrix_f32("1TRC", 1, 1, {1}).end_frame();
  Load result = load(many, false);
  EXPECT_EQ(result.frames, 0u);
  EXPECT_LE(result.log.total_allocated, 4096u);
}

TEST(SdifHostile, LargeBlocksThatAreThereStillLoad) {
  const int rows = 4096, columns = 4;  // 64 KiB, exactly what remains after the header
  std::vector<float> elements(rows * columns);
  for (size_t i = 0; i < elements.size(); i++) elements[i] = float(i);
  const size_t bytes = elements.size() * 4;
  SdifWriter w;
  w.file_header().begin_frame("1STF", 0.0, 1, 1).matrix_f32("1STF", rows, columns, elements).end_frame();
  for (bool piped : {false, true}) {
    Load whole = load(w, piped, bytes);
    EXPECT_EQ(whole.result, SdifCode::Ok);
    ASSERT_EQ(whole.first_block.size(), bytes) << piped;
    EXPECT_EQ(std::memcmp(whole.first_block.data(), elements.data(), bytes), 0);
    EXPECT_GE(whole.log.largest_allocation, bytes);
    // From a pipe the pieces hold what has arrived, and the block is made once all of it is there.
    EXPECT_LE(whole.log.total_allocated, (piped ? 2 : 1) * bytes + 8192) << piped;
  }
  // One byte short of the same file: the block is no longer all there.
  Load cut = load(SdifWriter().raw(w.bytes().data(), w.size() - 1), false);
  EXPECT_EQ(cut.result, SdifCode::Ok);
  EXPECT_EQ(cut.frames, 0u);
  EXPECT_LE(cut.log.largest_allocation, 4096u);
}

TEST(SdifHostile, LongHeaderIsSkippedOnAPipeAsInAFile) {
  // A pipe cannot seek: its further header bytes are read and dropped, and a header that claims more
  // than the pipe holds ends like one that claims more than a file holds, without frames.
  SdifWriter long_header, past_end;
  long_header.file_header(32).begin_frame("1TRC", 0.5, 1, 1).matrix_f32("1TRC", 1, 3, {1, 440, 0.5f}).end_frame();
  past_end.raw("SDIF", 4).i32(8192).i32(3).i32(1).u64(0);
  for (bool piped : {false, true}) {
    SCOPED_TRACE(piped ? "pipe" : "file");
    for (const SdifWriter* writer : {&long_header, &past_end}) {
      std::unique_ptr<FilledPipe> pipe(piped ? new FilledPipe(*writer) : nullptr);
      SdifFile file((piped ? pipe->path : save_temp(*writer, "header.sdif")).c_str(), 0);
      long long reported = 0;
      SdifProgress progress{[](void* last, long long bytes, bool) {
                              *static_cast<long long*>(last) = bytes;
                              return true;
                            },
                            &reported};
      ASSERT_EQ(file.read_all_frames(progress), SdifCode::Ok);
      bool frame = writer == &long_header;
      ASSERT_EQ(file.frames != nullptr, frame);
      if (!frame) continue;
      EXPECT_EQ(file.frames->time, 0.5);
      EXPECT_EQ(reported, (long long)writer->size()) << "the header's bytes count too";
    }
  }
}

TEST(SdifHostile, FailedAllocationsAreReportedAsOutOfMemory) {
  // Refused above 16 KiB: a 64 KiB block, the fourth piece of a piped one, the whole of a piped block
  // of 20000 bytes once its three pieces have arrived, the fourth slab of records.
  std::vector<float> elements(4096 * 4, 0.5f);
  SdifWriter large, medium, many;
  large.file_header().begin_frame("1STF", 0.0, 1, 1).matrix_f32("1STF", 4096, 4, elements).end_frame();
  elements.resize(5000);
  medium.file_header().begin_frame("1STF", 0.0, 1, 1).matrix_f32("1STF", 5000, 1, elements).end_frame();
  many.file_header();
  for (int i = 0; i < 2000; i++) many.begin_frame("1TRC", i, 1, 1).matrix_f32("1TRC", 1, 1, {1}).end_frame();
  for (const auto& [file, piped] : {std::pair{&large, false}, {&large, true}, {&medium, true}, {&many, false}}) {
    Load result = load(*file, piped, 0, 16384);
    EXPECT_EQ(result.result, SdifCode::OutOfMemory) << piped;
    EXPECT_EQ(result.frames > 0, file == &many) << "the frames before the failure stay";
  }
}
