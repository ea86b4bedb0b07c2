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
