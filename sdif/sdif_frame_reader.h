// Reads an SDIF file front to back, one frame header, matrix header and piece of elements at a time,
// keeping nothing of what it has passed, so files of any size can be inspected (sdif-info). It reads
// with the byte layer's functions and stops where the in-memory loader stops, with the same code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "sdif/sdif_format.h"

class SdifFrameReader {
 public:
  // Opens `path` and reads its file header; the outcome goes to `result`.
  explicit SdifFrameReader(const char* path);
  SdifFrameReader(const SdifFrameReader&) = delete;
  SdifFrameReader& operator=(const SdifFrameReader&) = delete;
  ~SdifFrameReader();

  // Ok, EndOfData after the last whole frame, or the code of the step that failed.
  SdifResult result;
  // errno of a failed open or of a read the system refused (code 1 or a read error).
  int error_number = 0;
  // The file header's fields, as far as they were read.
  SdifFileHeader header;
  // Size of a regular file, else -1.
  long long file_size = -1;
  // Bytes consumed from the start of the file.
  long long offset = 0;
  // Where the frame last begun starts.
  long long frame_offset = 0;
  // Where the header, element data or pad bytes that the failing step was reading begin.
  long long failure_offset = 0;

  // The next frame's header. Matrices or elements of the previous frame not read yet are read and
  // dropped first. EndOfData when the file ends exactly before a frame.
  SdifResult next_frame(SdifFrameHeader* frame);
  // The next matrix header of the current frame; EndOfData once the frame's matrix count is reached.
  // A width that cannot be read gives UnknownDataType, negative or oversized counts BadMatrixHeader,
  // both before any element, as the loader rejects them.
  SdifResult next_matrix(SdifMatrixHeader* matrix);
  // Up to `capacity` further elements of the current matrix, converted to host order, into `block`
  // (capacity times the element width bytes); `count` is how many. After the last element the pad
  // bytes are read too, and later calls give a count of 0.
  SdifResult next_elements(void* block, size_t capacity, size_t* count);
  // True when the last failure was a read past the file header that found the end of the file: a
  // file cut inside a frame, which the loader takes as its normal end.
  bool stopped_at_end() const;

 private:
  SdifResult fail(SdifResult code, long long at);
  SdifResult read_pad();
  SdifResult skip_matrix();

  FILE* file = nullptr;
  bool header_read = false;
  std::unique_ptr<char[]> buffer;
  SdifMatrixHeader matrix = {};
  int32_t matrices_left = 0;
  int64_t elements_left = 0;
  long long data_start = 0;
  int pad_left = 0;
};
