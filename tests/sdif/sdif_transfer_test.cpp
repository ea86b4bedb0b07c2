// Tests of the chunked big-endian element transfers: the C library calls they make at every chunk
// boundary and every element in file order, plus frame and matrix header reads.
#include <cstring>

#include <gtest/gtest.h>

#include "sdif/sdif_format.h"
#include "tests/support/call_log.h"
#include "tests/support/temp_dir.h"
#include "tools/testfiles/sdif_writer.h"

namespace {

// A value whose bytes all differ from their neighbours', so a wrong order or offset shows.
uint64_t element_value(size_t i) { return 0x0123456789ABCDEFull * (i + 1) ^ (i << 17); }

template <typename T>
void write_elements(SdifWriter& writer, size_t count) {
  for (size_t i = 0; i < count; i++) {
    T v = T(element_value(i));
    if constexpr (sizeof(T) == 2) writer.u16(v);
    if constexpr (sizeof(T) == 4) writer.u32(v);
    if constexpr (sizeof(T) == 8) writer.u64(v);
  }
}

std::vector<size_t> expected_chunks(size_t count, size_t chunk) {
  std::vector<size_t> chunks;
  while (count > chunk) {
    chunks.push_back(chunk);
    count -= chunk;
  }
  chunks.push_back(count);
  return chunks;
}

template <typename T>
SdifResult load(T* dst, size_t count, FILE* stream) {
  if constexpr (sizeof(T) == 2) return SDIF_Load16(dst, count, stream);
  if constexpr (sizeof(T) == 4) return SDIF_Load32(dst, count, stream);
  return SDIF_Load64(dst, count, stream);
}

template <typename T>
void check_load(size_t count) {
  constexpr size_t chunk = 4096 / sizeof(T);
  SCOPED_TRACE(testing::Message() << "width " << sizeof(T) << ", " << count << " elements");
  SdifWriter writer;
  write_elements<T>(writer, count + 3);  // more data follows, as in a real file
  std::string path = save_temp(writer, "elements.bin");

  std::vector<T> block(count + 1, T(0x5A5A5A5A5A5A5A5Aull));
  FILE* stream = std::fopen(path.c_str(), "rb");
  start_recording();
  SdifResult result = load(block.data(), count, stream);
  const CallLog& log = stop_recording();
  EXPECT_EQ(result, SdifCode::Ok);
  EXPECT_EQ(std::ftell(stream), long(count * sizeof(T)));
  std::fclose(stream);

  std::vector<size_t> counts;
  for (const ElementCall& call : log.freads) {
    EXPECT_EQ(call.size, sizeof(T));
    counts.push_back(call.count);
  }
  EXPECT_EQ(counts, expected_chunks(count, chunk));
  for (size_t i = 0; i < count; i++) ASSERT_EQ(block[i], T(element_value(i))) << "element " << i;
  EXPECT_EQ(block[count], T(0x5A5A5A5A5A5A5A5Aull)) << "nothing is stored past the count";
}

template <typename T>
void check_widths() {
  constexpr size_t chunk = 4096 / sizeof(T);
  for (size_t count : {size_t(0), size_t(1), chunk - 1, chunk, chunk + 1, 3 * chunk, 3 * chunk + 5}) check_load<T>(count);
}

}  // namespace

TEST(SdifTransfer, ChunkBoundariesForEveryWidth) {
  check_widths<uint16_t>();
  check_widths<uint32_t>();
  check_widths<uint64_t>();
  // The cases named for each width: 3000 x 2 bytes, 1024 and 1025 x 4 bytes, 600 x 8 bytes.
  check_load<uint16_t>(3000);
  check_load<uint32_t>(1024);
  check_load<uint32_t>(1025);
  check_load<uint64_t>(600);
}

TEST(SdifTransfer, ShortChunkStoresNothingOfThatChunk) {
  SdifWriter writer;
  write_elements<uint32_t>(writer, 1100);
  std::string path = save_temp(writer, "short.bin");
  std::vector<uint32_t> block(1500, 0xEEEEEEEE);
  FILE* stream = std::fopen(path.c_str(), "rb");
  start_recording();
  EXPECT_EQ(SDIF_Load32(block.data(), 1500, stream), SdifCode::ReadFailed);
  const CallLog& log = stop_recording();
  std::fclose(stream);
  ASSERT_EQ(log.freads.size(), 2u);
  EXPECT_EQ(log.freads[1].count, 476u);
  for (size_t i = 0; i < 1024; i++) ASSERT_EQ(block[i], uint32_t(element_value(i))) << i;
  for (size_t i = 1024; i < 1500; i++) ASSERT_EQ(block[i], 0xEEEEEEEE) << "76 elements arrived but the chunk failed";
}

TEST(SdifTransfer, ByteCopiesAreOneReadWithoutConversion) {
  SdifWriter writer;
  for (int i = 0; i < 10000; i++) writer.u8(uint8_t(i * 7));
  std::string path = save_temp(writer, "bytes.bin");
  std::vector<uint8_t> block(10000);
  FILE* stream = std::fopen(path.c_str(), "rb");
  start_recording();
  EXPECT_EQ(SDIF_LoadBytes(block.data(), 10000, stream), SdifCode::Ok);
  const CallLog& log = stop_recording();
  std::fclose(stream);
  ASSERT_EQ(log.freads.size(), 1u);
  EXPECT_EQ(log.freads[0].size, 1u);
  EXPECT_EQ(log.freads[0].count, 10000u);
  EXPECT_EQ(block, writer.bytes());
}

TEST(SdifTransfer, Store32WritesBigEndianInChunks) {
  std::vector<uint32_t> words(2500);
  for (size_t i = 0; i < words.size(); i++) words[i] = uint32_t(element_value(i));
  std::string path = temp_path("stored.bin");
  FILE* stream = std::fopen(path.c_str(), "wb");
  start_recording();
  EXPECT_EQ(SDIF_Store32(words.data(), words.size(), stream), SdifCode::Ok);
  EXPECT_EQ(SDIF_Store32(words.data(), 0, stream), SdifCode::Ok);
  const CallLog& log = stop_recording();
  std::fclose(stream);

  std::vector<size_t> counts;
  for (const ElementCall& call : log.fwrites) {
    EXPECT_EQ(call.size, 4u);
    counts.push_back(call.count);
  }
  EXPECT_EQ(counts, (std::vector<size_t>{1024, 1024, 452, 0}));
  SdifWriter expected;
  write_elements<uint32_t>(expected, 2500);
  EXPECT_EQ(file_bytes(path), expected.bytes());
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
  EXPECT_EQ(frame.size, 0);
  EXPECT_EQ(frame.time, 0.125);
  EXPECT_EQ(frame.stream_id, -5);
  EXPECT_EQ(frame.matrix_count, 3);
  EXPECT_TRUE(SDIF_SameType(matrix.type, "ISTF"));
  EXPECT_EQ(matrix.data_type, 0x0104);
  EXPECT_EQ(matrix.rows, 70000);
  EXPECT_EQ(matrix.columns, -2);

  // Every prefix of the frame header is a short read.
  for (size_t length = 0; length < 24; length++) {
    writer.save_prefix(path, length);
    stream = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(SDIF_LoadFrameHeader(&frame, stream), SdifCode::ReadFailed) << length;
    std::fclose(stream);
  }
}
