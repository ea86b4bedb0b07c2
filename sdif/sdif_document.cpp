// Loads every frame and matrix of an SDIF file into linked records and links one stream for a
// cursor. A file that ends inside a frame is a normal end of data: the incomplete frame is dropped.
#include "sdif/sdif_document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Blocks up to this size are allocated as their header claims: they cost less than any check.
constexpr int SMALL_BLOCK = 4096;
// Larger blocks are read, and put together, this many bytes at a time, with the progress told in
// between: about a millisecond's work from memory, a few from a fast pipe.
constexpr int64_t PIECE_BYTES = int64_t(1) << 20;

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

SdifFile::SdifFile(const char* path, int mode, SdifProgress progress)
    : file(nullptr), result(SdifCode::Ok), mode(mode), frames(nullptr), progress(progress) {
  SdifFileHeader header;
  SDIF_InitFileHeader(&header);
  result = mode == 0 ? open_for_reading(path, &header) : SDIF_StartWriting(path, &file);
  this->progress = {};
  pipe_wait.progress = {};
  if (result == SdifCode::Ok) loaded_bytes = SDIF_HEADER_SIZE_COUNTED_FROM + header.header_size;
}

SdifFile::~SdifFile() {
  frames = nullptr;
  records.release_all();
  if (file) result = mode == 0 ? SDIF_FinishReading(file) : SDIF_FinishWriting(file);
}

// The same as opening with the byte layer, except that an input that is no regular file gets the
// waiting stream, and that the descriptor is opened without waiting: a FIFO would otherwise hold the
// open until a writer comes, with no progress told.
SdifResult SdifFile::open_for_reading(const char* path, SdifFileHeader* header) {
  int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat status;
  if (fd >= 0 && fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    // Only a regular file has a size to hold matrix headers against; the file is not written meanwhile.
    file_size = status.st_size;
    int flags = fcntl(fd, F_GETFL);
    file = flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 ? fdopen(fd, "rb") : nullptr;
  } else if (fd >= 0) {
    pipe_wait.progress = progress;
    file = open_waiting_stream(fd, &pipe_wait);
  }
  if (!file) {
    error_number = errno;
    if (fd >= 0) ::close(fd);
    return SdifCode::CLibraryError;
  }
  SdifResult code = SDIF_ReadFileHeader(header, file);
  if (code == SdifCode::Ok) return code;
  if (pipe_wait.cancelled) code = SdifCode::Cancelled;
  else if (std::ferror(file)) error_number = errno;
  std::fclose(file);
  file = nullptr;
  return code;
}

SdifResult SdifFile::read_all_frames(SdifProgress told) {
  if (!file) return SdifCode::ReadFailed;
  progress = told;
  pipe_wait.progress = told;
  pipe_wait.bytes = loaded_bytes;
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
    loaded_bytes += frame_bytes;
    frame_bytes = 0;
    if (!tell(false)) {
      result = SdifCode::Cancelled;
      break;
    }
  }
  progress = {};
  pipe_wait.progress = {};
  if (pipe_wait.cancelled) result = SdifCode::Cancelled;
  if (result == SdifCode::Cancelled) return result;
  if (std::feof(file)) result = SdifCode::Ok;
  else if (std::ferror(file)) error_number = errno;
  return result;
}

SdifResult SdifFile::read_frame(SdifFrame* frame) {
  frame_bytes = 0;
  if (read_frame_header(frame) != SdifCode::Ok) return result;
  frame_bytes = SDIF_FRAME_HEADER_BYTES;
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
  frame_bytes += SDIF_MATRIX_HEADER_BYTES;
  // A header that cannot size a block has padded size 0 and is refused by read_matrix_data; an
  // unreadable width fails there before any element is read. Neither needs a block.
  int padded = SDIF_PaddedDataSize(matrix);
  bool needs_block = padded != 0 && SDIF_ReadableWidth(matrix);
  if (needs_block && claims_past_end(padded)) return stop_at_end();
  if (needs_block && padded > SMALL_BLOCK && file_size < 0) {
    if (read_arriving_data(matrix, padded) != SdifCode::Ok) return result;
  } else if (needs_block) {
    matrix->data = records.allocate(size_t(padded));
    if (!matrix->data) return result = SdifCode::OutOfMemory;
    int64_t elements = int64_t(matrix->rows) * matrix->columns;
    if (read_pieces(static_cast<unsigned char*>(matrix->data), *matrix, elements) != SdifCode::Ok) return result;
  } else if (read_matrix_data(matrix->data, matrix) != SdifCode::Ok) {
    return result;
  }
  int pad = SDIF_PadBytes(matrix);
  if (pad != 0) {
    unsigned char scratch[8];
    if (SDIF_LoadBytes(scratch, size_t(pad), file) != SdifCode::Ok) return result = SdifCode::ReadFailed;
    frame_bytes += pad;
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

// `count` elements of the matrix's data type, read as a one-column matrix so that the byte layer
// picks the transfer, a piece at a time with the progress told between pieces.
SdifResult SdifFile::read_pieces(unsigned char* block, const SdifMatrixHeader& matrix, int64_t count) {
  const int width = SDIF_ElementWidth(matrix.data_type);
  SdifMatrixHeader piece = matrix;
  piece.columns = 1;
  for (;;) {
    piece.rows = int32_t(std::min(count, PIECE_BYTES / width));
    if ((result = SDIF_LoadMatrixData(block, file, &piece)) != SdifCode::Ok) return result;
    int64_t bytes = int64_t(piece.rows) * width;
    block += bytes;
    frame_bytes += bytes;
    count -= piece.rows;
    if (count == 0) return result;
    if (!tell(false)) return result = SdifCode::Cancelled;
  }
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
    if (read_pieces(pieces[count].get(), piece, piece.rows) != SdifCode::Ok) return result;
  }
  matrix->data = records.allocate(size_t(padded));
  if (!matrix->data) return result = SdifCode::OutOfMemory;
  unsigned char* block = static_cast<unsigned char*>(matrix->data);
  // Putting a block of gigabytes together takes a good part of a second, so it is a wait too.
  for (size_t i = 0; i < count; ++i) {
    for (size_t done = 0; done < sizes[i]; done += size_t(PIECE_BYTES)) {
      size_t bytes = std::min(sizes[i] - done, size_t(PIECE_BYTES));
      std::memcpy(block, pieces[i].get() + done, bytes);
      block += bytes;
      if (!tell(true)) return result = SdifCode::Cancelled;
    }
  }
  return result = SdifCode::Ok;
}

bool SdifFile::tell(bool waiting) {
  pipe_wait.bytes = loaded_bytes + frame_bytes;
  return !progress.report || progress.report(progress.context, pipe_wait.bytes, waiting);
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
