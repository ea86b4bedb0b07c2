// Loads every frame and matrix of an SDIF file into linked records and links one stream for a
// cursor. A file that ends inside a frame is a normal end of data: the incomplete frame is dropped.
#include "sdif/sdif_document.h"

#include <sys/stat.h>

#include <new>

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
  result = mode == 0 ? SDIF_StartReading(path, &opened) : SDIF_StartWriting(path, &opened);
  if (result != SdifCode::Ok) return;
  file = opened;
  // Only a regular file has a size to hold matrix headers against; the file is not written meanwhile.
  struct stat status;
  if (mode == 0 && fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode)) file_size = status.st_size;
}

SdifFile::~SdifFile() {
  frames = nullptr;
  records.release_all();
  if (file) result = mode == 0 ? SDIF_FinishReading(file) : SDIF_FinishWriting(file);
}

SdifResult SdifFile::read_all_frames() {
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
  if (padded != 0 && SDIF_ReadableWidth(matrix)) {
    if (claims_past_end(padded)) return stop_at_end();
    matrix->data = records.allocate(size_t(padded));
    if (!matrix->data) return result = SdifCode::OutOfMemory;
  }
  if (read_matrix_data(matrix->data, matrix) != SdifCode::Ok) return result;
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
// tiny file demand gigabytes. Small blocks cost less than the check and are not looked at.
bool SdifFile::claims_past_end(int bytes) {
  if (bytes <= 4096 || file_size < 0) return false;
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
