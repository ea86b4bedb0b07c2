// Tests of the byte layer's result codes, file-header validation, matrix sizes, 1-byte copies and
// the file that the write side creates.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "sdif/sdif_format.h"
#include "tests/support/temp_dir.h"
#include "tools/testfiles/sdif_writer.h"

namespace {

int open_descriptors() {
  int count = 0;
  DIR* dir = opendir("/proc/self/fd");
  while (readdir(dir)) count++;
  closedir(dir);
  return count;
}

// Opens `bytes` as a file with SDIF_StartReading; the stream, if any, is closed before returning.
SdifResult start_reading(const SdifWriter& bytes, long* position = nullptr) {
  std::string path = save_temp(bytes, "header.sdif");
  FILE* const untouched = reinterpret_cast<FILE*>(&path);
  FILE* stream = untouched;
  SdifResult result = SDIF_StartReading(path.c_str(), &stream);
  if (result == SdifCode::Ok) {
    if (position) *position = std::ftell(stream);
    SDIF_FinishReading(stream);
  } else {
    EXPECT_EQ(stream, untouched) << "the out parameter is written only on success";
  }
  return result;
}

SdifMatrixHeader matrix(int32_t data_type, int32_t rows, int32_t columns) {
  SdifMatrixHeader header;
  SDIF_SetType(header.type, "1TRC");
  header.data_type = data_type;
  header.rows = rows;
  header.columns = columns;
  return header;
}

}  // namespace

TEST(SdifFormat, EveryCodeHasItsMessage) {
  for (SdifResult code = 0; code < SdifCode::Count; code++) {
    ASSERT_NE(SDIF_GetMessage(code), nullptr) << code;
    EXPECT_EQ(std::strlen(SDIF_GetMessage(code)) == 0, code == 6) << code;
  }
  EXPECT_EQ(SDIF_GetMessage(-1), nullptr);
  EXPECT_EQ(SDIF_GetMessage(SdifCode::Count), nullptr);
  EXPECT_STREQ(SDIF_GetMessage(SdifCode::Ok), "Everything's cool");
  EXPECT_STREQ(SDIF_GetMessage(SdifCode::UnknownDataType), "Unknown matrix data type encountered in SDIF_WriteFrame().");
  EXPECT_STREQ(SDIF_GetMessage(SdifCode::ReadFailed), "I/O error: couldn't read");
  EXPECT_STREQ(SDIF_GetMessage(SdifCode::DuplicateMatrixType), "Frame has two matrices with the same MatrixType");
}

TEST(SdifFormat, FileHeaderValidationCodesInOrder) {
  EXPECT_EQ(start_reading(SdifWriter()), SdifCode::ReadFailed);
  EXPECT_EQ(start_reading(SdifWriter().raw("SDI", 3)), SdifCode::ReadFailed);
  EXPECT_EQ(start_reading(SdifWriter().file_header(8, 3, 1, "SDIX")), SdifCode::BadFileHeader);
  EXPECT_EQ(start_reading(SdifWriter().raw("RIFF\0\0\0\x08", 8)), SdifCode::BadFileHeader);
  EXPECT_EQ(start_reading(SdifWriter().raw("SDIF", 4)), SdifCode::ReadFailed);
  for (int32_t size : {12, 7, 0, -8, 4})
    EXPECT_EQ(start_reading(SdifWriter().raw("SDIF", 4).i32(size).i32(3).i32(1)), SdifCode::BadFileHeader) << size;

  // Both versions are read before either is judged.
  EXPECT_EQ(start_reading(SdifWriter().raw("SDIF", 4).i32(8)), SdifCode::ReadFailed);
  EXPECT_EQ(start_reading(SdifWriter().raw("SDIF", 4).i32(8).i32(2)), SdifCode::ReadFailed);
  EXPECT_EQ(start_reading(SdifWriter().file_header(8, 2, 1)), SdifCode::OldSpecVersion);
  EXPECT_EQ(start_reading(SdifWriter().file_header(8, 2, 0)), SdifCode::OldSpecVersion);
  EXPECT_EQ(start_reading(SdifWriter().file_header(8, 3, 0)), SdifCode::OldTypesVersion);
  EXPECT_EQ(start_reading(SdifWriter().file_header(8, 3, -1)), SdifCode::OldTypesVersion);

  long position = -1;
  EXPECT_EQ(start_reading(SdifWriter().file_header(8, 3, 1), &position), SdifCode::Ok);
  EXPECT_EQ(position, 16);
  EXPECT_EQ(start_reading(SdifWriter().file_header(16, 3, 7).raw("1TRC", 4), &position), SdifCode::Ok);
  EXPECT_EQ(position, 24) << "header size 16 skips 8 further bytes";
}

TEST(SdifFormat, RejectedHeaderClosesItsStream) {
  std::string path = save_temp(SdifWriter().file_header(8, 2, 1), "bad.sdif");
  int before = open_descriptors();
  FILE* stream = nullptr;
  for (int i = 0; i < 20; i++) EXPECT_EQ(SDIF_StartReading(path.c_str(), &stream), SdifCode::OldSpecVersion);
  EXPECT_EQ(open_descriptors(), before);
  EXPECT_EQ(stream, nullptr);

  EXPECT_EQ(SDIF_StartReading(temp_path("missing.sdif").c_str(), &stream), SdifCode::CLibraryError);
  EXPECT_EQ(stream, nullptr);
}

TEST(SdifFormat, FailedHeaderSkipGivesBadHeaderNotSeekFailed) {
  // A pipe cannot seek, so skipping the extra header bytes fails.
  std::string path = temp_path("header.fifo");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  std::thread feeder([&] {
    SdifWriter bytes;
    bytes.file_header(16, 3, 1);
    int fd = open(path.c_str(), O_WRONLY);
    ssize_t written = write(fd, bytes.bytes().data(), bytes.size());
    EXPECT_EQ(written, ssize_t(bytes.size()));
    close(fd);
  });
  FILE* stream = nullptr;
  EXPECT_EQ(SDIF_StartReading(path.c_str(), &stream), SdifCode::BadFileHeader);
  feeder.join();
  EXPECT_EQ(stream, nullptr);
}

TEST(SdifFormat, PadBytesAndPaddedSizes) {
  struct Case {
    SdifMatrixHeader header;
    int pad, padded;
  } cases[] = {
      {matrix(0x0004, 3, 1), 4, 16},          // data size 12
      {matrix(0x0004, 2, 2), 0, 16},          // 16
      {matrix(0x0301, 1, 1), 7, 8},           // 1
      {matrix(0x0008, 0, 5), 0, 0},           // no rows
      {matrix(0x0000, 1000, 1000), 0, 0},     // width 0
      {matrix(0x0003, 1, 3), 7, 16},          // width 3: 9 bytes
      {matrix(0x0102, 5, 3), 2, 32},          // width 2: 30 bytes
      {matrix(0x0008, 268435455, 1), 0, 2147483640},
      {matrix(0x0001, 1, 2147483640), 0, 2147483640},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SDIF_CheckMatrixHeader(&c.header), SdifCode::Ok);
    EXPECT_EQ(SDIF_PadBytes(&c.header), c.pad) << c.header.rows << "x" << c.header.columns;
    EXPECT_EQ(SDIF_PaddedDataSize(&c.header), c.padded) << c.header.rows << "x" << c.header.columns;
  }
}

TEST(SdifFormat, HeadersThatCannotSizeABlockAreRejected) {
  SdifMatrixHeader hostile[] = {
      matrix(0x0004, -1, 4),         matrix(0x0004, 4, -1),           matrix(0x0004, INT32_MIN, INT32_MIN),
      matrix(0x0008, 268435456, 1),  // exactly 2^31 bytes
      matrix(0x0001, 1, 2147483641), // pads beyond 32 bits
      matrix(0x0004, 65536, 65536),  // the product alone overflows 32 bits
      matrix(-252, 2, 2),            // data type 0xFFFFFF04: width 4, sizes fine
  };
  for (int i = 0; i < 6; i++) {
    EXPECT_EQ(SDIF_CheckMatrixHeader(&hostile[i]), SdifCode::BadMatrixHeader) << i;
    EXPECT_EQ(SDIF_PaddedDataSize(&hostile[i]), 0) << i;
    EXPECT_EQ(SDIF_PadBytes(&hostile[i]), 0) << i;
  }
  EXPECT_EQ(SDIF_CheckMatrixHeader(&hostile[6]), SdifCode::Ok);
  EXPECT_EQ(SDIF_PaddedDataSize(&hostile[6]), 16);

  // The load refuses them too, before reading anything.
  std::string path = save_temp(SdifWriter().u32(7).u32(8), "elements.bin");
  FILE* stream = std::fopen(path.c_str(), "rb");
  uint32_t block[2] = {1, 1};
  EXPECT_EQ(SDIF_LoadMatrixData(block, stream, &hostile[0]), SdifCode::BadMatrixHeader);
  EXPECT_EQ(std::ftell(stream), 0);
  EXPECT_EQ(block[0], 1u);
  std::fclose(stream);
}

TEST(SdifFormat, UnreadableWidthsLeaveTheStreamInPlace) {
  std::string path = save_temp(SdifWriter().u32(0x01020304).u32(0x05060708), "elements.bin");
  FILE* stream = std::fopen(path.c_str(), "rb");
  uint8_t block[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  for (int32_t data_type : {0x0003, 0x0000, 0x0005, 0x0006, 0x0007, 0x0009, 0x0010, 0x0120}) {
    SdifMatrixHeader header = matrix(data_type, 1, 1);
    EXPECT_EQ(SDIF_LoadMatrixData(block, stream, &header), SdifCode::UnknownDataType) << data_type;
    EXPECT_EQ(std::ftell(stream), 0) << data_type;
  }
  EXPECT_EQ(block[0], 0xEE);

  // Width 1 is copied byte for byte, in file order.
  SdifMatrixHeader bytes = matrix(0x0301, 2, 3);
  EXPECT_EQ(SDIF_LoadMatrixData(block, stream, &bytes), SdifCode::Ok);
  EXPECT_EQ(std::vector<uint8_t>(block, block + 8), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 0xEE, 0xEE}));
  EXPECT_EQ(std::ftell(stream), 6) << "pad bytes are not the data's business";
  EXPECT_EQ(SDIF_LoadBytes(block, 3, stream), SdifCode::ReadFailed) << "only two bytes remain";
  std::fclose(stream);
}

TEST(SdifFormat, NewFileIsExactlyAValidHeader) {
  std::string path = temp_path("new.sdif");
  FILE* stream = nullptr;
  ASSERT_EQ(SDIF_StartWriting(path.c_str(), &stream), SdifCode::Ok);
  EXPECT_EQ(SDIF_FinishWriting(stream), SdifCode::Ok);
  EXPECT_EQ(file_bytes(path),
            (std::vector<uint8_t>{0x53, 0x44, 0x49, 0x46, 0, 0, 0, 8, 0, 0, 0, 3, 0, 0, 0, 1}));

  // And it reads back, positioned at the (absent) first frame.
  ASSERT_EQ(SDIF_StartReading(path.c_str(), &stream), SdifCode::Ok);
  EXPECT_EQ(std::ftell(stream), 16);
  EXPECT_EQ(SDIF_FinishReading(stream), SdifCode::Ok);

  FILE* untouched = nullptr;
  EXPECT_EQ(SDIF_StartWriting(temp_path("no/such/folder.sdif").c_str(), &untouched), SdifCode::CLibraryError);
  EXPECT_EQ(untouched, nullptr);
}

TEST(SdifFormat, WriteFailuresAreReported) {
  // /dev/full accepts the open and fails every flushed write.
  FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  std::setvbuf(full, nullptr, _IONBF, 0);
  SdifFileHeader header;
  SDIF_InitFileHeader(&header);
  EXPECT_EQ(SDIF_StoreFileHeader(&header, full), SdifCode::WriteFailed);
  uint32_t words[3] = {1, 2, 3};
  EXPECT_EQ(SDIF_Store32(words, 3, full), SdifCode::WriteFailed);
  EXPECT_EQ(SDIF_StoreBytes(words, 4, full), SdifCode::WriteFailed);
  std::fclose(full);

  // The buffered header only fails when it is flushed, and finishing must not call that success.
  FILE* stream = nullptr;
  ASSERT_EQ(SDIF_StartWriting("/dev/full", &stream), SdifCode::Ok);
  EXPECT_EQ(SDIF_FinishWriting(stream), SdifCode::WriteFailed);
}

TEST(SdifFormat, TypesAreFourRawBytes) {
  char a[4], b[4];
  SDIF_SetType(a, "1TRC");
  SDIF_SetType(b, "1TRCX");
  EXPECT_TRUE(SDIF_SameType(a, b));
  EXPECT_TRUE(SDIF_SameType("\0\0\0\0", "\0\0\0\0"));
  EXPECT_FALSE(SDIF_SameType(a, "1TRD"));
  EXPECT_FALSE(SDIF_SameType(a, "0TRC"));
  char zeros[4] = {'1', 0, 'R', 'C'};
  EXPECT_FALSE(SDIF_SameType(zeros, "1\0RD")) << "bytes after a zero still count";
  EXPECT_TRUE(SDIF_SameType(zeros, "1\0RC"));
}
