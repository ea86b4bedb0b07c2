// Reads and writes the SDIF byte layout: file header validation, frame and matrix headers and
// chunked big-endian element transfers through one static staging buffer.
#include "sdif/sdif_format.h"

#include <cstring>

const char* const SDIF_MESSAGES[SdifCode::Count] = {
    "Everything's cool",
    "This program should display strerror(errno) instead of this string",
    "Bad SDIF header",
    "Frame header's size is too low for time tag and stream ID",
    "fseek() failed while skipping over data",
    "Unknown matrix data type encountered in SDIF_WriteFrame().",
    "",
    "End of data",
    "Bad SDIF matrix header",
    "Obsolete SDIF file from an old version of SDIF",
    "Obsolete version of the standard SDIF frame and matrix types",
    "I/O error: couldn't write",
    "I/O error: couldn't read",
    "Out of memory",
    "Frame has two matrices with the same MatrixType",
    "Loading cancelled",
};

const char* SDIF_GetMessage(SdifResult code) {
  if (code < 0 || code >= SdifCode::Count) return nullptr;
  return SDIF_MESSAGES[code];
}

namespace {

// Shared by every 2-, 4- and 8-byte transfer, so transfers are not reentrant. It holds file-order
// (big-endian) bytes between the C library call and the byte reversal.
alignas(8) unsigned char staging[4096];

constexpr bool host_is_big_endian = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__;

// Written byte by byte so that the compiler turns it into vector shuffles even on baseline x86-64,
// which keeps the conversion far cheaper than the read itself.
template <size_t Width>
void reverse_elements(unsigned char* __restrict dst, const unsigned char* __restrict src, size_t count) {
  if constexpr (host_is_big_endian) {
    std::memcpy(dst, src, count * Width);
  } else {
    for (size_t i = 0; i < count * Width; i += Width)
      for (size_t b = 0; b < Width; b++) dst[i + b] = src[i + Width - 1 - b];
  }
}

template <size_t Width>
SdifResult load_chunk(unsigned char* dst, size_t count, FILE* stream) {
  if (std::fread(staging, Width, count, stream) != count) return SdifCode::ReadFailed;
  reverse_elements<Width>(dst, staging, count);
  return SdifCode::Ok;
}

template <size_t Width>
SdifResult load_elements(void* dst, size_t count, FILE* stream) {
  constexpr size_t chunk = sizeof(staging) / Width;
  unsigned char* out = static_cast<unsigned char*>(dst);
  while (count > chunk) {
    if (SdifResult r = load_chunk<Width>(out, chunk, stream)) return r;
    out += chunk * Width;
    count -= chunk;
  }
  return load_chunk<Width>(out, count, stream);
}

// The element data size of a header in 64 bits, or -1 when its counts are negative or its padded
// size does not fit a 32-bit int; hostile headers must never size or index a block.
int64_t checked_data_size(const SdifMatrixHeader* header) {
  if (header->rows < 0 || header->columns < 0) return -1;
  int64_t elements = int64_t(header->rows) * header->columns;
  int64_t width = SDIF_ElementWidth(header->data_type);
  if (width != 0 && elements > (int64_t(INT32_MAX) - 7) / width) return -1;
  return elements * width;
}

// A pipe cannot seek, so there the bytes are read and dropped. Its end reached meanwhile is no failure,
// just as seeking a regular file past its end is none: the first frame's read then finds the end.
SdifResult skip_header_bytes(FILE* stream, long bytes) {
  if (SDIF_Skip(stream, bytes) == SdifCode::Ok) return SdifCode::Ok;
  while (bytes > 0) {
    size_t piece = bytes < long(sizeof staging) ? size_t(bytes) : sizeof staging;
    if (std::fread(staging, 1, piece, stream) != piece) return std::ferror(stream) ? SdifCode::BadFileHeader : SdifCode::Ok;
    bytes -= long(piece);
  }
  return SdifCode::Ok;
}

}  // namespace

SdifResult SDIF_StartReading(const char* path, FILE** stream, SdifFileHeader* header) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return SdifCode::CLibraryError;
  SdifFileHeader read;
  if (SdifResult r = SDIF_ReadFileHeader(&read, f)) {
    std::fclose(f);
    return r;
  }
  *stream = f;
  if (header) *header = read;
  return SdifCode::Ok;
}

SdifResult SDIF_StartWriting(const char* path, FILE** stream) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return SdifCode::CLibraryError;
  SdifFileHeader header;
  SDIF_InitFileHeader(&header);
  if (SDIF_StoreFileHeader(&header, f)) {
    std::fclose(f);
    return SdifCode::WriteFailed;
  }
  *stream = f;
  return SdifCode::Ok;
}

SdifResult SDIF_FinishReading(FILE* stream) {
  return std::fclose(stream) == 0 ? SdifCode::Ok : SdifCode::CLibraryError;
}

// A failed flush means the buffered header never reached the file, which must not pass as success;
// the stream is closed either way.
SdifResult SDIF_FinishWriting(FILE* stream) {
  bool flushed = std::fflush(stream) == 0;
  if (std::fclose(stream) != 0) return SdifCode::CLibraryError;
  return flushed ? SdifCode::Ok : SdifCode::WriteFailed;
}

void SDIF_InitFileHeader(SdifFileHeader* header) {
  SDIF_SetType(header->magic, "SDIF");
  header->header_size = 8;
  header->spec_version = 3;
  header->types_version = 1;
}

SdifResult SDIF_LoadFileHeader(FILE* stream) {
  SdifFileHeader header;
  return SDIF_ReadFileHeader(&header, stream);
}

SdifResult SDIF_ReadFileHeader(SdifFileHeader* header, FILE* stream) {
  *header = SdifFileHeader{};
  if (SDIF_LoadBytes(header->magic, 4, stream)) return SdifCode::ReadFailed;
  if (!SDIF_SameType(header->magic, "SDIF")) return SdifCode::BadFileHeader;

  if (SDIF_Load32(&header->header_size, 1, stream)) return SdifCode::ReadFailed;
  if (header->header_size % 8 != 0 || header->header_size < 8) return SdifCode::BadFileHeader;

  // Both versions are read before either is judged, so a short file reports the read failure.
  if (SDIF_Load32(&header->spec_version, 1, stream)) return SdifCode::ReadFailed;
  if (SDIF_Load32(&header->types_version, 1, stream)) return SdifCode::ReadFailed;
  if (header->spec_version != 3) return SdifCode::OldSpecVersion;
  if (header->types_version < 1) return SdifCode::OldTypesVersion;

  if (header->header_size == 8) return SdifCode::Ok;
  return skip_header_bytes(stream, long(header->header_size) - 8);
}

SdifResult SDIF_StoreFileHeader(const SdifFileHeader* header, FILE* stream) {
  if (SDIF_StoreBytes(header->magic, 4, stream)) return SdifCode::WriteFailed;
  if (SDIF_Store32(&header->header_size, 1, stream)) return SdifCode::WriteFailed;
  if (SDIF_Store32(&header->spec_version, 1, stream)) return SdifCode::WriteFailed;
  if (SDIF_Store32(&header->types_version, 1, stream)) return SdifCode::WriteFailed;
  return SdifCode::Ok;
}

SdifResult SDIF_LoadFrameHeader(SdifFrameHeader* header, FILE* stream) {
  if (SdifResult r = SDIF_LoadBytes(header->type, 4, stream)) return r;
  if (SdifResult r = SDIF_Load32(&header->size, 1, stream)) return r;
  if (SdifResult r = SDIF_Load64(&header->time, 1, stream)) return r;
  if (SdifResult r = SDIF_Load32(&header->stream_id, 1, stream)) return r;
  return SDIF_Load32(&header->matrix_count, 1, stream);
}

SdifResult SDIF_LoadMatrixHeader(SdifMatrixHeader* header, FILE* stream) {
  if (SdifResult r = SDIF_LoadBytes(header->type, 4, stream)) return r;
  if (SdifResult r = SDIF_Load32(&header->data_type, 1, stream)) return r;
  if (SdifResult r = SDIF_Load32(&header->rows, 1, stream)) return r;
  return SDIF_Load32(&header->columns, 1, stream);
}

SdifResult SDIF_CheckMatrixHeader(const SdifMatrixHeader* header) {
  return checked_data_size(header) < 0 ? SdifCode::BadMatrixHeader : SdifCode::Ok;
}

bool SDIF_ReadableWidth(const SdifMatrixHeader* header) {
  int width = SDIF_ElementWidth(header->data_type);
  return width == 1 || width == 2 || width == 4 || width == 8;
}

SdifResult SDIF_LoadMatrixData(void* block, FILE* stream, const SdifMatrixHeader* header) {
  if (!SDIF_ReadableWidth(header)) return SdifCode::UnknownDataType;
  if (SdifResult r = SDIF_CheckMatrixHeader(header)) return r;
  size_t count = size_t(header->rows) * size_t(header->columns);
  switch (SDIF_ElementWidth(header->data_type)) {
    case 1: return SDIF_LoadBytes(block, count, stream);
    case 2: return SDIF_Load16(block, count, stream);
    case 4: return SDIF_Load32(block, count, stream);
    default: return SDIF_Load64(block, count, stream);
  }
}

int SDIF_PaddedDataSize(const SdifMatrixHeader* header) {
  int64_t size = checked_data_size(header);
  return size < 0 ? 0 : int((size + 7) & ~int64_t(7));
}

int SDIF_PadBytes(const SdifMatrixHeader* header) {
  int64_t size = checked_data_size(header);
  return size < 0 ? 0 : int((8 - size % 8) % 8);
}

SdifResult SDIF_LoadBytes(void* dst, size_t count, FILE* stream) {
  return std::fread(dst, 1, count, stream) == count ? SdifCode::Ok : SdifCode::ReadFailed;
}

SdifResult SDIF_Load16(void* dst, size_t count, FILE* stream) { return load_elements<2>(dst, count, stream); }
SdifResult SDIF_Load32(void* dst, size_t count, FILE* stream) { return load_elements<4>(dst, count, stream); }
SdifResult SDIF_Load64(void* dst, size_t count, FILE* stream) { return load_elements<8>(dst, count, stream); }

SdifResult SDIF_StoreBytes(const void* src, size_t count, FILE* stream) {
  return std::fwrite(src, 1, count, stream) == count ? SdifCode::Ok : SdifCode::WriteFailed;
}

SdifResult SDIF_Store32(const void* src, size_t count, FILE* stream) {
  constexpr size_t chunk = sizeof(staging) / 4;
  const unsigned char* in = static_cast<const unsigned char*>(src);
  for (;;) {
    size_t n = count > chunk ? chunk : count;
    reverse_elements<4>(staging, in, n);
    if (std::fwrite(staging, 4, n, stream) != n) return SdifCode::WriteFailed;
    if (n == count) return SdifCode::Ok;
    in += chunk * 4;
    count -= n;
  }
}

SdifResult SDIF_Skip(FILE* stream, long bytes) {
  return std::fseek(stream, bytes, SEEK_CUR) == 0 ? SdifCode::Ok : SdifCode::SeekFailed;
}

bool SDIF_SameType(const char* a, const char* b) {
  for (int i = 0; i < 4; i++)
    if (a[i] != b[i]) return false;
  return true;
}

void SDIF_SetType(char* dst, const char* src) { std::memcpy(dst, src, 4); }
