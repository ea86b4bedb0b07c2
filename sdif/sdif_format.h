// Byte layout of SDIF files: header structs, result codes and the big-endian transfer functions.
// Used by the in-memory document (sdif_document) and by tests; it never prints, throws or allocates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "sdif/sdif_data_type.h"

typedef int SdifResult;

namespace SdifCode {
enum : SdifResult {
  Ok = 0,
  CLibraryError = 1,
  BadFileHeader = 2,
  FrameTooSmall = 3,
  SeekFailed = 4,
  UnknownDataType = 5,
  // 6 has no name and no message.
  EndOfData = 7,
  BadMatrixHeader = 8,
  OldSpecVersion = 9,
  OldTypesVersion = 10,
  WriteFailed = 11,
  ReadFailed = 12,
  OutOfMemory = 13,
  DuplicateMatrixType = 14,
  // The reader of a document stopped the load before its end.
  Cancelled = 15,
  Count = 16
};
}

// The fixed message of every code, indexed by code; entry 6 is empty.
extern const char* const SDIF_MESSAGES[SdifCode::Count];

// The message of `code`, or null for a number that is no code.
const char* SDIF_GetMessage(SdifResult code);

// Bytes of the headers as they lie in the file. A file header's size field counts the bytes after
// the magic and the field itself, so the first frame starts this much further on.
constexpr long long SDIF_HEADER_SIZE_COUNTED_FROM = 8;
constexpr long long SDIF_FRAME_HEADER_BYTES = 24;
constexpr long long SDIF_MATRIX_HEADER_BYTES = 16;

struct SdifFileHeader {
  char magic[4];
  int32_t header_size;
  int32_t spec_version;
  int32_t types_version;
};

struct SdifFrameHeader {
  char type[4];
  int32_t size;
  double time;
  int32_t stream_id;
  int32_t matrix_count;
};

struct SdifMatrixHeader {
  char type[4];
  int32_t data_type;
  int32_t rows;
  int32_t columns;
};

// File level.
// `header`, when given, receives the file header's fields on success.
SdifResult SDIF_StartReading(const char* path, FILE** stream, SdifFileHeader* header = nullptr);
SdifResult SDIF_StartWriting(const char* path, FILE** stream);
SdifResult SDIF_FinishReading(FILE* stream);
SdifResult SDIF_FinishWriting(FILE* stream);
void SDIF_InitFileHeader(SdifFileHeader* header);
SdifResult SDIF_LoadFileHeader(FILE* stream);
// SDIF_LoadFileHeader that also hands back the fields; on failure those read so far are set and the
// others are 0. Header bytes past the versions are skipped, or read and dropped where the stream
// cannot seek (a pipe).
SdifResult SDIF_ReadFileHeader(SdifFileHeader* header, FILE* stream);
SdifResult SDIF_StoreFileHeader(const SdifFileHeader* header, FILE* stream);

// Frame and matrix level.
SdifResult SDIF_LoadFrameHeader(SdifFrameHeader* header, FILE* stream);
SdifResult SDIF_LoadMatrixHeader(SdifMatrixHeader* header, FILE* stream);
// BadMatrixHeader for negative counts or a padded data size beyond 32 bits, else Ok.
SdifResult SDIF_CheckMatrixHeader(const SdifMatrixHeader* header);
// True for the element widths that can be read: 1, 2, 4 and 8 bytes.
bool SDIF_ReadableWidth(const SdifMatrixHeader* header);
SdifResult SDIF_LoadMatrixData(void* block, FILE* stream, const SdifMatrixHeader* header);
// Both sizes are 0 for a header that SDIF_CheckMatrixHeader rejects.
int SDIF_PaddedDataSize(const SdifMatrixHeader* header);
int SDIF_PadBytes(const SdifMatrixHeader* header);

// Element level: `count` elements of the function's width.
SdifResult SDIF_LoadBytes(void* dst, size_t count, FILE* stream);
SdifResult SDIF_Load16(void* dst, size_t count, FILE* stream);
SdifResult SDIF_Load32(void* dst, size_t count, FILE* stream);
SdifResult SDIF_Load64(void* dst, size_t count, FILE* stream);
SdifResult SDIF_StoreBytes(const void* src, size_t count, FILE* stream);
SdifResult SDIF_Store32(const void* src, size_t count, FILE* stream);
SdifResult SDIF_Skip(FILE* stream, long bytes);

bool SDIF_SameType(const char* a, const char* b);
void SDIF_SetType(char* dst, const char* src);
