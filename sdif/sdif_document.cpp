// Loads every frame and matrix of an SDIF file into linked records and links one stream for a
// cursor. A file that ends inside a frame is a normal end of data: the incomplete frame is dropped.
#include "sdif/sdif_document.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Blocks up to this size are allocated as their header claims: they cost less than any check.
constexpr int SMALL_BLOCK = 4096;

// The bytes a frame that loaded took up in the file: every matrix's elements were read with their pad.
long long frame_bytes(const SdifFrame& frame) {
  long long bytes = SDIF_FRAME_HEADER_BYTES;
  for (const SdifMatrix* matrix = frame.matrices; matrix; matrix = matrix->next)
    bytes += SDIF_MATRIX_HEADER_BYTES + SDIF_PaddedDataSize(matrix);
  return bytes;
}

}  // namespace

SdifMatrix::SdifMatrix() : data(nullptr), next(nullptr) {
  SDIF_SetType(type, "\0\0\0\0");
  data_type = 0;
  rows = 0;
  columns = 0;
}

SdifFrame::SdifFrame()
    : matrices(nullptr), prev(nullptr), next(nullptr), next_in_stream(nullptr), prev_in_stream(nullptr) {
  SDIF_SetType(type, "\0\0\0\0");
  size = 24;
  time = 0.0;
  stream_id = 0;
  matrix_count = 0;
}

SdifFile::SdifFile(const char* path, int mode) : file(nullptr), result(SdifCode::Ok), mode(mode), frames(nullptr) {
  FILE* opened = nullptr;
  SdifFileHeader header;
  SDIF_InitFileHeader(&header);
  result = mode == 0 ? SDIF_StartReading(path, &opened, &header) : SDIF_StartWriting(path, &opened);
  if (result != SdifCode::Ok) return;
  file = opened;
  // Only a regular file has a size to hold matrix headers against; the file is not written meanwhile.
  struct stat status;
  if (mode == 0 && fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode)) file_size = status.st_size;
  loaded_bytes = SDIF_HEADER_SIZE_COUNTED_FROM + header.header_size;
}

SdifFile::~SdifFile() {
  frames = nullptr;
  records.release_all();
  if (file) result = mode == 0 ? SDIF_FinishReading(file) : SDIF_FinishWriting(file);
}

SdifResult SdifFile::read_all_frames(SdifProgress progress) {
  if (!file) return SdifCode::ReadFailed;
  SdifFrame* tail = frames;
  while (tail && tail->next) tail = tail->next;
  for (;;) {
    SdifRecordStore::Mark before = records.mark();
    void* memory = records.allocate(sizeof(SdifFrame));
    if (!memory) {
      result = SdifCode::OutOfMemory;
      break;
    }
    SdifFrame* frame = new (memory) SdifFrame();
    if (read_frame(frame) != SdifCode::Ok) {
      records.release_to(before);
      break;
    }
    if (tail) {
      tail->next = frame;
      frame->prev = tail;
    } else {
      frames = frame;
    }
    tail = frame;
    loaded_bytes += frame_bytes(*frame);
    if (progress.report && !progress.report(progress.context, loaded_bytes)) return result = SdifCode::Cancelled;
  }
  if (std::feof(file)) result = SdifCode::Ok;
  return result;
}

SdifResult SdifFile::read_frame(SdifFrame* frame) {
  if (read_frame_header(frame) != SdifCode::Ok) return result;
  return read_matrices(frame);
}

SdifResult SdifFile::read_frame_header(SdifFrame* frame) { return result = SDIF_LoadFrameHeader(frame, file); }

SdifResult SdifFile::read_matrices(SdifFrame* frame) {
  frame->matrices = nullptr;
  frame->prev = nullptr;
  frame->next = nullptr;
  SdifMatrix** link = &frame->matrices;
  for (int32_t i = 0; i < frame->matrix_count; i++) {
    void* memory = records.allocate(sizeof(SdifMatrix));
    if (!memory) return result = SdifCode::OutOfMemory;
    SdifMatrix* matrix = new (memory) SdifMatrix();
    *link = matrix;
    link = &matrix->next;
    if (read_matrix(matrix) != SdifCode::Ok) return result;
  }
  return result = SdifCode::Ok;
}

SdifResult SdifFile::read_matrix(SdifMatrix* matrix) {
  if (read_matrix_header(matrix) != SdifCode::Ok) return result;
  // A header that cannot size a block has padded size 0 and is refused by read_matrix_data; an
  // unreadable width fails there before any element is read. Neither needs a block.
  int padded = SDIF_PaddedDataSize(matrix);
  bool needs_block = padded != 0 && SDIF_ReadableWidth(matrix);
  if (needs_block && claims_past_end(padded)) return stop_at_end();
  if (needs_block && padded > SMALL_BLOCK && file_size < 0) {
    if (read_arriving_data(matrix, padded) != SdifCode::Ok) return result;
  } else {
    if (needs_block) {
      matrix->data = records.allocate(size_t(padded));
      if (!matrix->data) return result = SdifCode::OutOfMemory;
    }
    if (read_matrix_data(matrix->data, matrix) != SdifCode::Ok) return result;
  }
  int pad = SDIF_PadBytes(matrix);
  if (pad != 0) {
    unsigned char scratch[8];
    if (SDIF_LoadBytes(scratch, size_t(pad), file) != SdifCode::Ok) return result = SdifCode::ReadFailed;
  }
  return result = SdifCode::Ok;
}

SdifResult SdifFile::read_matrix_header(SdifMatrix* matrix) { return result = SDIF_LoadMatrixHeader(matrix, file); }

SdifResult SdifFile::read_matrix_data(void* block, SdifMatrix* matrix) {
  return result = SDIF_LoadMatrixData(block, file, matrix);
}

// A header may claim far more data than the file holds; sizing a block by that claim would let a
// tiny file demand gigabytes. Small blocks are not looked at.
bool SdifFile::claims_past_end(int bytes) {
  if (bytes <= SMALL_BLOCK || file_size < 0) return false;
  long position = std::ftell(file);
  return position >= 0 && bytes > file_size - position;
}

// Reading the claimed block would stop short at the end of the file; going there directly ends
// the load exactly as that short read would, with the end-of-file indicator set.
SdifResult SdifFile::stop_at_end() {
  std::fseek(file, 0, SEEK_END);
  std::fgetc(file);
  return result = SdifCode::ReadFailed;
}

// A stream of unknown length, such as a pipe, cannot be held against a claim before it is read. Its
// large blocks are read in pieces that double in size, so that what is allocated stays within twice
// what has arrived, and the block itself is made only once all of its elements are there.
SdifResult SdifFile::read_arriving_data(SdifMatrix* matrix, int padded) {
  struct FreeBytes {
    void operator()(unsigned char* bytes) const { std::free(bytes); }
  };
  // Pieces from SMALL_BLOCK bytes, doubling up to a padded size below 2^31, are at most 20.
  std::unique_ptr<unsigned char, FreeBytes> pieces[32];
  size_t sizes[32];
  size_t count = 0;
  const int width = SDIF_ElementWidth(matrix->data_type);
  SdifMatrixHeader piece = *matrix;
  piece.columns = 1;
  int64_t remaining = int64_t(matrix->rows) * matrix->columns;
  for (int64_t elements = SMALL_BLOCK / width; remaining > 0; remaining -= piece.rows, elements *= 2, ++count) {
    piece.rows = int32_t(std::min(elements, remaining));
    sizes[count] = size_t(piece.rows) * size_t(width);
    pieces[count].reset(static_cast<unsigned char*>(std::malloc(sizes[count])));
    if (!pieces[count]) return result = SdifCode::OutOfMemory;
    if ((result = SDIF_LoadMatrixData(pieces[count].get(), file, &piece)) != SdifCode::Ok) return result;
  }
  matrix->data = records.allocate(size_t(padded));
  if (!matrix->data) return result = SdifCode::OutOfMemory;
  unsigned char* block = static_cast<unsigned char*>(matrix->data);
  for (size_t i = 0; i < count; block += sizes[i], ++i) std::memcpy(block, pieces[i].get(), sizes[i]);
  return result = SdifCode::Ok;
}

SdifStreamCursor::SdifStreamCursor(SdifFrame* frames, const char* type)
    : first(nullptr), last(nullptr), current(nullptr) {
  SdifFrame* start = frames;
  while (start && !SDIF_SameType(start->type, type)) start = start->next;
  link_stream(start);
}

void SdifStreamCursor::link_stream(SdifFrame* start) {
  first = start;
  current = start;
  if (!start) {
    last = nullptr;
    return;
  }
  SdifFrame* p = start;
  for (SdifFrame* candidate = p->next; candidate; candidate = candidate->next) {
    if (candidate->stream_id != p->stream_id) continue;
    p->next_in_stream = candidate;
    candidate->prev_in_stream = p;
    p = candidate;
  }
  last = p;
}
