// Tests of the byte layer: result codes, file-header validation, matrix sizes, the chunked big-endian
// transfers at every chunk boundary, the file the write side creates and write failures.
#include <dirent.h>

#include <cstring>

#include <gtest/gtest.h>

#include "sdif/sdif_format.h"
#include "tests/support/test_files.h"

namespace {

int open_descriptors() {
  int count = 0;
  DIR* dir = opendir("/proc/self/fd");
  while (readdir(dir)) count++;
  closedir(dir);
  return count;
}

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

// Loads `count` elements from a file of `available` ones at the chunk boundaries of width sizeof(T):
// every element arrives in file order and nothing is stored past the count, and a chunk that comes up
// short stores nothing of itself.
template <typename T>
void check_transfers() {
  constexpr size_t chunk = 4096 / sizeof(T);
  const std::pair<size_t, size_t> loads[] = {{0, 3},         {1, 4},         {chunk - 1, chunk}, {chunk, chunk + 3},
                                             {chunk + 1, chunk + 1}, {3 * chunk + 5, 3 * chunk + 8},
                                             {2 * chunk + 100, 2 * chunk + 50}};
  for (auto [count, available] : loads) {
    SCOPED_TRACE(testing::Message() << "width " << sizeof(T) << ", " << count << " of " << available);
    FILE* stream = std::fopen(save_temp(elements<T>(available), "elements.bin").c_str(), "rb");
    std::vector<T> block(count + 1, T(0x5A5A5A5A5A5A5A5Aull));
    SdifResult result = sizeof(T) == 2   ? SDIF_Load16(block.data(), count, stream)
                        : sizeof(T) == 4 ? SDIF_Load32(block.data(), count, stream)
                                         : SDIF_Load64(block.data(), count, stream);
    std::fclose(stream);
    EXPECT_EQ(result, count <= available ? SdifCode::Ok : SdifCode::ReadFailed);
    size_t stored = count <= available ? count : available / chunk * chunk;
    for (size_t i = 0; i <= count; i++)
      ASSERT_EQ(block[i], i < stored ? T(element_value(i)) : T(0x5A5A5A5A5A5A5A5Aull)) << "element " << i;
  }
}

SdifMatrixHeader matrix(int32_t data_type, int32_t rows, int32_t columns) {
  SdifMatrixHeader header = {{'1', 'T', 'R', 'C'}, data_type, rows, columns};
  return header;
}

}  // namespace

TEST(SdifFormat, EveryCodeHasItsMessage) {
  for (SdifResult code = 0; code < SdifCode::Count; code++)
    EXPECT_EQ(std::strlen(SDIF_GetMessage(code)) == 0, code == 6) << code;
  EXPECT_EQ(SDIF_GetMessage(-1), nullptr);
  EXPECT_EQ(SDIF_GetMessage(SdifCode::Count), nullptr);
}

TEST(SdifFormat, FileHeaderValidationInOrder) {
  const struct {
    SdifWriter bytes;
    SdifResult code;
    long position;  // after a successful start
  } cases[] = {
      {SdifWriter(), SdifCode::ReadFailed, 0},
      {SdifWriter().raw("SDI", 3), SdifCode::ReadFailed, 0},
      {SdifWriter().file_header(8, 3, 1, "SDIX"), SdifCode::BadFileHeader, 0},
      {SdifWriter().raw("SDIF", 4), SdifCode::ReadFailed, 0},
      {SdifWriter().file_header(12, 3, 1), SdifCode::BadFileHeader, 0},
      {SdifWriter().file_header(7, 3, 1), SdifCode::BadFileHeader, 0},
      {SdifWriter().file_header(-8, 3, 1), SdifCode::BadFileHeader, 0},
      // Both versions are read before either is judged.
      {SdifWriter().raw("SDIF", 4).i32(8).i32(2), SdifCode::ReadFailed, 0},
      {SdifWriter().file_header(8, 2, 1), SdifCode::OldSpecVersion, 0},
      {SdifWriter().file_header(8, 3, 0), SdifCode::OldTypesVersion, 0},
      {SdifWriter().file_header(8, 3, 1), SdifCode::Ok, 16},
      {SdifWriter().file_header(16, 3, 7).raw("1TRC", 4), SdifCode::Ok, 24},
  };
  int descriptors = open_descriptors();
  for (const auto& c : cases) {
    std::string path = save_temp(c.bytes, "header.sdif");
    FILE* stream = nullptr;
    EXPECT_EQ(SDIF_StartReading(path.c_str(), &stream), c.code) << c.bytes.size();
    EXPECT_EQ(stream != nullptr, c.code == SdifCode::Ok) << "the stream is given only on success";
    if (!stream) continue;
    EXPECT_EQ(std::ftell(stream), c.position);
    SDIF_FinishReading(stream);
  }
  EXPECT_EQ(open_descriptors(), descriptors) << "a rejected header closes its stream";
}

TEST(SdifFormat, MatrixSizesAndRejectedHeaders) {
  const struct {
    SdifMatrixHeader header;
    SdifResult check;
    int pad, padded;
  } cases[] = {
      {matrix(0x0004, 3, 1), SdifCode::Ok, 4, 16},
      {matrix(0x0004, 2, 2), SdifCode::Ok, 0, 16},
      {matrix(0x0301, 1, 1), SdifCode::Ok, 7, 8},
      {matrix(0x0008, 0, 5), SdifCode::Ok, 0, 0},
      {matrix(0x0004, 3, 0), SdifCode::Ok, 0, 0},
      {matrix(0x0000, 1000, 1000), SdifCode::Ok, 0, 0},
      {matrix(0x0003, 1, 3), SdifCode::Ok, 7, 16},  // width 3: 9 bytes
      {matrix(0x0102, 5, 3), SdifCode::Ok, 2, 32},
      {matrix(0x0008, 268435455, 1), SdifCode::Ok, 0, 2147483640},
      {matrix(0x0001, 1, 2147483640), SdifCode::Ok, 0, 2147483640},
      {matrix(-252, 2, 2), SdifCode::Ok, 0, 16},  // data type 0xFFFFFF04: width 4
      {matrix(0x0004, -1, 4), SdifCode::BadMatrixHeader, 0, 0},
      {matrix(0x0004, 4, -1), SdifCode::BadMatrixHeader, 0, 0},
      {matrix(0x0004, -2, -3), SdifCode::BadMatrixHeader, 0, 0},
      {matrix(0x0004, 0, -5), SdifCode::BadMatrixHeader, 0, 0},
      {matrix(0x0008, 268435456, 1), SdifCode::BadMatrixHeader, 0, 0},   // exactly 2^31 bytes
      {matrix(0x0001, 1, 2147483641), SdifCode::BadMatrixHeader, 0, 0},  // pads beyond 32 bits
      {matrix(0x0004, 65536, 65536), SdifCode::BadMatrixHeader, 0, 0},   // the product overflows
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.header.data_type << ": " << c.header.rows << "x" << c.header.columns);
    EXPECT_EQ(SDIF_CheckMatrixHeader(&c.header), c.check);
    EXPECT_EQ(SDIF_PadBytes(&c.header), c.pad);
    EXPECT_EQ(SDIF_PaddedDataSize(&c.header), c.padded);
  }
}

TEST(SdifFormat, TransfersAtEveryChunkBoundary) {
  check_transfers<uint16_t>();
  check_transfers<uint32_t>();
  check_transfers<uint64_t>();
  std::vector<uint32_t> words(2500);
  for (size_t i = 0; i < words.size(); i++) words[i] = uint32_t(element_value(i));
  std::string path = temp_path("stored.bin");
  FILE* stream = std::fopen(path.c_str(), "wb");
  EXPECT_EQ(SDIF_Store32(words.data(), words.size(), stream), SdifCode::Ok);
  std::fclose(stream);
  EXPECT_EQ(file_bytes(path), elements<uint32_t>(2500).bytes());
}

TEST(SdifFormat, NewFileIsExactlyAValidHeaderAndWriteFailuresAreReported) {
  std::string path = temp_path("new.sdif");
  FILE* stream = nullptr;
  ASSERT_EQ(SDIF_StartWriting(path.c_str(), &stream), SdifCode::Ok);
  EXPECT_EQ(SDIF_FinishWriting(stream), SdifCode::Ok);
  EXPECT_EQ(file_bytes(path), (std::vector<uint8_t>{'S', 'D', 'I', 'F', 0, 0, 0, 8, 0, 0, 0, 3, 0, 0, 0, 1}));
  stream = nullptr;
  EXPECT_EQ(SDIF_StartWriting(temp_path("no/such/folder.sdif").c_str(), &stream), SdifCode::CLibraryError);
  EXPECT_EQ(stream, nullptr);

  // /dev/full accepts the open and fails every flushed write; a buffered header fails only when
  // finishing flushes it, which must not be called a success.
  FILE* full = std::fopen("/dev/full", "wb");
  std::setvbuf(full, nullptr, _IONBF, 0);
  SdifFileHeader header;
  SDIF_InitFileHeader(&header);
  uint32_t words[3] = {1, 2, 3};
  EXPECT_EQ(SDIF_StoreFileHeader(&header, full), SdifCode::WriteFailed);
  EXPECT_EQ(SDIF_Store32(words, 3, full), SdifCode::WriteFailed);
  EXPECT_EQ(SDIF_StoreBytes(words, 4, full), SdifCode::WriteFailed);
  std::fclose(full);
  ASSERT_EQ(SDIF_StartWriting("/dev/full", &stream), SdifCode::Ok);
  EXPECT_EQ(SDIF_FinishWriting(stream), SdifCode::WriteFailed);
}
