// Tests of the chunked big-endian transfers: the C library calls they make at every chunk boundary,
// every element in file order, short reads, and frame and matrix header reads field by field.
#include <cstring>

#include <gtest/gtest.h>

#include "sdif/sdif_format.h"
#include "tests/support/call_log.h"
#include "tests/support/test_files.h"

namespace {

// A value whose bytes all differ from their neighbours', so a wrong order or offset shows.
uint64_t element_value(size_t i) { return 0x0123456789ABCDEFull * (i + 1) ^ (i << 17); }

template <typename T>
SdifWriter elements(size_t count) {
  SdifWriter writer;
  for (size_t i = 0; i < count; i++) {
    if constexpr (sizeof(T) == 2) writer.u16(T(element_value(i)));
    if constexpr (sizeof(T) == 4) writer.u32(T(element_value(i)));
    if constexpr (sizeof(T) == 8) writer.u64(T(element_value(i)));
  }
  return writer;
}

// Loads `count` elements of width sizeof(T) from a file holding `available`; returns the result, the
// element counts of the fread calls, and the block, one element longer than the count.
template <typename T>
SdifResult load(size_t count, size_t available, std::vector<size_t>* reads, std::vector<T>* block) {
  FILE* stream = std::fopen(save_temp(elements<T>(available), "elements.bin").c_str(), "rb");
  block->assign(count + 1, T(0x5A5A5A5A5A5A5A5Aull));
  start_recording();
  SdifResult result = sizeof(T) == 2   ? SDIF_Load16(block->data(), count, stream)
                      : sizeof(T) == 4 ? SDIF_Load32(block->data(), count, stream)
                                       : SDIF_Load64(block->data(), count, stream);
  for (const ElementCall& call : stop_recording().freads) {
    EXPECT_EQ(call.size, sizeof(T));
    reads->push_back(call.count);
  }
  std::fclose(stream);
  return result;
}

template <typename T>
void check_chunks() {
  constexpr size_t chunk = 4096 / sizeof(T);
  for (size_t count : {size_t(0), size_t(1), chunk - 1, chunk, chunk + 1, 3 * chunk + 5}) {
    SCOPED_TRACE(testing::Message() << "width " << sizeof(T) << ", " << count << " elements");
    std::vector<size_t> reads, expected;
    std::vector<T> block;
    EXPECT_EQ(load<T>(count, count + 3, &reads, &block), SdifCode::Ok);
    size_t left = count;
    for (; left > chunk; left -= chunk) expected.push_back(chunk);
    expected.push_back(left);
    EXPECT_EQ(reads, expected);
    for (size_t i = 0; i < count; i++) ASSERT_EQ(block[i], T(element_value(i))) << "element " << i;
    EXPECT_EQ(block[count], T(0x5A5A5A5A5A5A5A5Aull)) << "nothing is stored past the count";
  }
}

}  // namespace

TEST(SdifTransfer, ChunkBoundariesForEveryWidth) {
  check_chunks<uint16_t>();
  check_chunks<uint32_t>();
  check_chunks<uint64_t>();

  // A short chunk stores nothing of itself: 76 of its elements arrived, but the chunk failed.
  std::vector<size_t> reads;
  std::vector<uint32_t> block;
  EXPECT_EQ(load<uint32_t>(1500, 1100, &reads, &block), SdifCode::ReadFailed);
  EXPECT_EQ(reads, (std::vector<size_t>{1024, 476}));
  EXPECT_EQ(block[1023], uint32_t(element_value(1023)));
  EXPECT_EQ(block[1024], 0x5A5A5A5Au);
}

TEST(SdifTransfer, BytesAreOneReadAndWordsAreStoredBigEndianInChunks) {
  SdifWriter bytes;
  for (int i = 0; i < 10000; i++) bytes.u8(uint8_t(i * 7));
  FILE* stream = std::fopen(save_temp(bytes, "bytes.bin").c_str(), "rb");
  std::vector<uint8_t> block(10000);
  start_recording();
  EXPECT_EQ(SDIF_LoadBytes(block.data(), 10000, stream), SdifCode::Ok);
  CallLog log = stop_recording();
  std::fclose(stream);
  ASSERT_EQ(log.freads.size(), 1u);
  EXPECT_EQ(log.freads[0].count, 10000u);
  EXPECT_EQ(block, bytes.bytes());

  std::vector<uint32_t> words(2500);
  for (size_t i = 0; i < words.size(); i++) words[i] = uint32_t(element_value(i));
  std::string path = temp_path("stored.bin");
  stream = std::fopen(path.c_str(), "wb");
  start_recording();
  EXPECT_EQ(SDIF_Store32(words.data(), words.size(), stream), SdifCode::Ok);
  log = stop_recording();
  std::fclose(stream);
  std::vector<size_t> writes;
  for (const ElementCall& call : log.fwrites) writes.push_back(call.size * call.count);
  EXPECT_EQ(writes, (std::vector<size_t>{4096, 4096, 1808}));
  EXPECT_EQ(file_bytes(path), elements<uint32_t>(2500).bytes());
}

TEST(SdifTransfer, FrameAndMatrixHeadersReadFieldByField) {
  SdifWriter writer;
  writer.begin_frame("1STF", 0.125, -5, 3).matrix_header("ISTF", 0x0104, 70000, -2);
  std::string path = save_temp(writer, "headers.bin");
  FILE* stream = std::fopen(path.c_str(), "rb");
  SdifFrameHeader frame;
  SdifMatrixHeader matrix;
  EXPECT_EQ(SDIF_LoadFrameHeader(&frame, stream), SdifCode::Ok);
  EXPECT_EQ(SDIF_LoadMatrixHeader(&matrix, stream), SdifCode::Ok);
  std::fclose(stream);
  EXPECT_TRUE(SDIF_SameType(frame.type, "1STF"));
  EXPECT_EQ(frame.time, 0.125);
  EXPECT_EQ(frame.stream_id, -5);
  EXPECT_EQ(frame.matrix_count, 3);
  EXPECT_TRUE(SDIF_SameType(matrix.type, "ISTF"));
  EXPECT_EQ(matrix.data_type, 0x0104);
  EXPECT_EQ(matrix.rows, 70000);
  EXPECT_EQ(matrix.columns, -2);
  for (size_t length = 0; length < 24; length++) {
    writer.save_prefix(path, length);
    stream = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(SDIF_LoadFrameHeader(&frame, stream), SdifCode::ReadFailed) << "prefix of " << length;
    std::fclose(stream);
  }
}
