// A whole SDIF file in memory (frames in file order, each with its matrices, whose elements can be
// read as numbers) and the cursor that picks one stream out of it. Start-up owns the file and the
// cursors; the views only read them.
#pragma once

#include <cstdio>
#include <cstring>
#include <type_traits>

#include "sdif/sdif_format.h"
#include "sdif/sdif_pipe_stream.h"
#include "sdif/sdif_progress.h"
#include "sdif/sdif_record_store.h"

struct SdifMatrix : SdifMatrixHeader {
  // rows x columns elements row after row in host byte order; null when the padded size is 0.
  void* data;
  SdifMatrix* next;

  SdifMatrix();

  // Element (column, row) converted from 32-bit float, 64-bit float, 32-bit signed or 32-bit unsigned
  // elements; for any other data type `out` keeps its value. The caller keeps column and row inside
  // the matrix. element_as_double converts without passing through a 32-bit float.
  void element_as_float(int column, int row, float& out) const {
    with_elements([&](auto elements) { out = elements.as_float(column, row); });
  }
  void element_as_int(int column, int row, int32_t& out) const {
    with_elements([&](auto elements) { elements.as_int(column, row, out); });
  }
  void element_as_double(int column, int row, double& out) const {
    with_elements([&](auto elements) { out = elements.as_double(column, row); });
  }
  // Calls `read` with the SdifElements of the matrix's data type and returns true, or returns false
  // for a data type that is none of the four. Loops that read many elements go through this, so that
  // the data type is looked at once rather than at every element.
  template <class Read>
  bool with_elements(Read read) const;
};

// The element types that the accessors above convert: those of the four data types the views read.
template <typename T>
constexpr bool converted_element = std::is_same_v<T, float> || std::is_same_v<T, double> ||
                                   std::is_same_v<T, int32_t> || std::is_same_v<T, uint32_t>;

// An element as a 32-bit signed integer, as the views read track indices: floating values truncate
// toward zero; one outside the int range (NaN included) has no integer, so `out` stays and the
// answer is false. Unsigned values keep their 32 bits.
template <typename T>
bool element_to_int(T value, int32_t& out) {
  if constexpr (std::is_floating_point_v<T>) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return false;
  }
  out = static_cast<int32_t>(value);
  return true;
}

// The elements of a matrix of one numeric type, converted as the accessors above describe.
template <typename T>
struct SdifElements {
  const void* data;
  int columns;

  T at(int column, int row) const {
    T value;
    size_t index = static_cast<size_t>(row) * static_cast<size_t>(columns) + static_cast<size_t>(column);
    std::memcpy(&value, static_cast<const char*>(data) + index * sizeof(T), sizeof(T));
    return value;
  }
  float as_float(int column, int row) const { return static_cast<float>(at(column, row)); }
  double as_double(int column, int row) const { return static_cast<double>(at(column, row)); }
  bool as_int(int column, int row, int32_t& out) const { return element_to_int(at(column, row), out); }
};

template <class Read>
bool SdifMatrix::with_elements(Read read) const {
  switch (data_type) {
    case SdifDataType::Float32: read(SdifElements<float>{data, columns}); return true;
    case SdifDataType::Float64: read(SdifElements<double>{data, columns}); return true;
    case SdifDataType::Int32: read(SdifElements<int32_t>{data, columns}); return true;
    case SdifDataType::Uint32: read(SdifElements<uint32_t>{data, columns}); return true;
    default: return false;
  }
}

struct SdifFrame : SdifFrameHeader {
  SdifMatrix* matrices;
  SdifFrame* prev;
  SdifFrame* next;
  SdifFrame* next_in_stream;
  SdifFrame* prev_in_stream;

  SdifFrame();
};

class SdifFile {
 public:
  FILE* file;
  SdifResult result;
  int mode;  // 0 reading, 1 writing
  SdifFrame* frames;

  // errno of a failed open, or of a read the system refused; 0 otherwise.
  int error_number = 0;

  // Opens `path` and reads its file header. An input that is no regular file (a pipe, a FIFO) is
  // read through a waiting stream, so that `progress` is told while its header is awaited, and may
  // stop the wait with SdifCode::Cancelled; a FIFO opens without waiting for its writer.
  SdifFile(const char* path, int mode, SdifProgress progress = {});
  SdifFile(const SdifFile&) = delete;
  SdifFile& operator=(const SdifFile&) = delete;
  ~SdifFile();

  // Ends with SdifCode::Cancelled when `progress` stops it, between frames or inside one; the whole
  // frames loaded until then stay in the document, which frees them as it always does.
  SdifResult read_all_frames(SdifProgress progress = {});
  SdifResult read_frame(SdifFrame* frame);
  SdifResult read_frame_header(SdifFrame* frame);
  SdifResult read_matrices(SdifFrame* frame);
  SdifResult read_matrix(SdifMatrix* matrix);
  SdifResult read_matrix_header(SdifMatrix* matrix);
  SdifResult read_matrix_data(void* block, SdifMatrix* matrix);
  // Size of a regular file being read, else -1 (a pipe, say).
  long long size() const { return file_size; }

 private:
  SdifResult open_for_reading(const char* path, SdifFileHeader* header);
  bool claims_past_end(int bytes);
  SdifResult stop_at_end();
  SdifResult read_pieces(unsigned char* block, const SdifMatrixHeader& matrix, int64_t count);
  SdifResult read_arriving_data(SdifMatrix* matrix, int padded);
  // Tells the progress the bytes read so far; false when it stops the load.
  bool tell(bool waiting);

  long long file_size = -1;
  // Bytes of the file that the header and the frames loaded so far take up, and what has been read
  // of the frame under way.
  long long loaded_bytes = 0;
  long long frame_bytes = 0;
  // The caller's progress, during the calls that take one.
  SdifProgress progress;
  // For an input that is no regular file: what its waiting reads tell.
  SdifPipeWait pipe_wait;
  // Owns every frame, matrix and element block of the document.
  SdifRecordStore records;
};

struct SdifStreamCursor {
  SdifFrame* first;
  SdifFrame* last;
  SdifFrame* current;

  // Follows the stream of the first frame in `frames` whose type equals the 4 bytes of `type`.
  SdifStreamCursor(SdifFrame* frames, const char* type);
  void link_stream(SdifFrame* start);
};

