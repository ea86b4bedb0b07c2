// A whole SDIF file in memory (frames in file order, each with its matrices) and the cursor that
// picks one stream out of it. Start-up owns the file and the cursors; the views only read them.
#pragma once

#include <cstdio>

#include "sdif/sdif_format.h"
#include "sdif/sdif_record_store.h"

struct SdifMatrix : SdifMatrixHeader {
  // rows x columns elements row after row in host byte order; null when the padded size is 0.
  void* data;
  SdifMatrix* next;

  SdifMatrix();

  // Element (column, row) converted from 32-bit float, 64-bit float, 32-bit signed or 32-bit unsigned
  // elements; for any other data type `out` keeps its value. The caller keeps column and row inside
  // the matrix. element_as_double converts without passing through a 32-bit float.
  void element_as_float(int column, int row, float& out) const;
  void element_as_int(int column, int row, int32_t& out) const;
  void element_as_double(int column, int row, double& out) const;
  // True for the four data types above.
  bool numeric() const;
};

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

  SdifFile(const char* path, int mode);
  SdifFile(const SdifFile&) = delete;
  SdifFile& operator=(const SdifFile&) = delete;
  ~SdifFile();

  SdifResult read_all_frames();
  SdifResult read_frame(SdifFrame* frame);
  SdifResult read_frame_header(SdifFrame* frame);
  SdifResult read_matrices(SdifFrame* frame);
  SdifResult read_matrix(SdifMatrix* matrix);
  SdifResult read_matrix_header(SdifMatrix* matrix);
  SdifResult read_matrix_data(void* block, SdifMatrix* matrix);

 private:
  bool claims_past_end(int bytes);
  SdifResult stop_at_end();

  // Size of a regular file being read, else -1.
  long long file_size = -1;
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
