// Streams an SDIF file through the byte layer. Each step checks what the loader checks, in the same
// order, so that a file the loader refuses stops here with the same code at the same place.
#include "sdif/sdif_frame_reader.h"

#include <stdio_ext.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

namespace {

// The stream's buffer: large reads cost fewer system calls, which is most of what a pass costs.
constexpr size_t READ_BUFFER_BYTES = size_t(1) << 16;

}  // namespace

SdifFrameReader::SdifFrameReader(const char* path) : result(SdifCode::Ok), header() {
  file = std::fopen(path, "rb");
  if (!file) {
    error_number = errno;
    result = SdifCode::CLibraryError;
    return;
  }
  buffer.reset(new char[READ_BUFFER_BYTES]);
  std::setvbuf(file, buffer.get(), _IOFBF, READ_BUFFER_BYTES);
  // Only this reader uses the stream, so the C library need not lock it for each of the many small
  // reads of a frame.
  __fsetlocking(file, FSETLOCKING_BYCALLER);
  struct stat status;
  if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode)) file_size = status.st_size;
  if (SdifResult code = SDIF_ReadFileHeader(&header, file)) {
    fail(code, 0);
    return;
  }
  offset = SDIF_HEADER_SIZE_COUNTED_FROM + header.header_size;
  header_read = true;
}

SdifFrameReader::~SdifFrameReader() {
  if (file) std::fclose(file);
}

SdifResult SdifFrameReader::next_frame(SdifFrameHeader* frame) {
  while (result == SdifCode::Ok && (matrices_left > 0 || elements_left > 0 || pad_left > 0)) {
    SdifMatrixHeader ignored;
    if (skip_matrix() == SdifCode::Ok && matrices_left > 0) next_matrix(&ignored);
  }
  if (result != SdifCode::Ok) return result;
  // A file may end only between frames; a frame that has begun must be whole.
  int next = std::fgetc(file);
  if (next == EOF) return std::ferror(file) ? fail(SdifCode::ReadFailed, offset) : result = SdifCode::EndOfData;
  std::ungetc(next, file);
  frame_offset = offset;
  if (SDIF_LoadFrameHeader(frame, file) != SdifCode::Ok) return fail(SdifCode::ReadFailed, offset);
  offset += SDIF_FRAME_HEADER_BYTES;
  matrices_left = std::max(frame->matrix_count, 0);
  return SdifCode::Ok;
}

SdifResult SdifFrameReader::next_matrix(SdifMatrixHeader* next) {
  if (result != SdifCode::Ok || skip_matrix() != SdifCode::Ok) return result;
  if (matrices_left == 0) return SdifCode::EndOfData;
  long long start = offset;
  if (SDIF_LoadMatrixHeader(next, file) != SdifCode::Ok) return fail(SdifCode::ReadFailed, start);
  offset += SDIF_MATRIX_HEADER_BYTES;
  matrices_left--;
  if (!SDIF_ReadableWidth(next)) return fail(SdifCode::UnknownDataType, start);
  if (SDIF_CheckMatrixHeader(next) != SdifCode::Ok) return fail(SdifCode::BadMatrixHeader, start);
  matrix = *next;
  elements_left = int64_t(next->rows) * next->columns;
  pad_left = SDIF_PadBytes(next);
  data_start = offset;
  return SdifCode::Ok;
}

SdifResult SdifFrameReader::next_elements(void* block, size_t capacity, size_t* count) {
  *count = 0;
  if (result != SdifCode::Ok) return result;
  if (elements_left == 0) return read_pad();
  // Read as a one-column matrix of the same data type, so the byte layer picks the transfer.
  SdifMatrixHeader piece = matrix;
  piece.rows = int32_t(std::min<int64_t>({int64_t(capacity), elements_left, INT32_MAX}));
  piece.columns = 1;
  if (SDIF_LoadMatrixData(block, file, &piece) != SdifCode::Ok) return fail(SdifCode::ReadFailed, data_start);
  offset += int64_t(piece.rows) * SDIF_ElementWidth(matrix.data_type);
  elements_left -= piece.rows;
  *count = size_t(piece.rows);
  return elements_left == 0 ? read_pad() : SdifCode::Ok;
}

bool SdifFrameReader::stopped_at_end() const {
  return header_read && result == SdifCode::ReadFailed && std::feof(file);
}

SdifResult SdifFrameReader::fail(SdifResult code, long long at) {
  if (file && std::ferror(file)) error_number = errno;
  failure_offset = at;
  return result = code;
}

SdifResult SdifFrameReader::read_pad() {
  if (pad_left == 0) return SdifCode::Ok;
  unsigned char scratch[8];
  if (SDIF_LoadBytes(scratch, size_t(pad_left), file) != SdifCode::Ok) return fail(SdifCode::ReadFailed, offset);
  offset += pad_left;
  pad_left = 0;
  return SdifCode::Ok;
}

SdifResult SdifFrameReader::skip_matrix() {
  alignas(8) unsigned char scratch[4096];
  const size_t capacity = sizeof scratch / size_t(std::max(SDIF_ElementWidth(matrix.data_type), 1));
  size_t count;
  while (result == SdifCode::Ok && (elements_left > 0 || pad_left > 0)) next_elements(scratch, capacity, &count);
  return result;
}
