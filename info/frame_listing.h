// The frame listing of sdif-info --frames: one entry per frame and matrix, written as the survey
// reads them, so a file of any size starts listing at once.
#pragma once

#include <cstdio>

#include "info/file_survey.h"

// Aligned lines for people: a frame line, then one indented line per matrix.
class TextFrameListing : public FrameListener {
 public:
  explicit TextFrameListing(FILE* out);
  void frame(uint64_t index, long long offset, const SdifFrameHeader& header) override;
  void matrix(const SdifMatrixHeader& header) override;
  void frame_end() override;

 private:
  FILE* out;
};

// The array of the "frame_list" key. begin() opens the file's object with that key, and end() closes
// the array, so that the rest of the object's keys follow.
class JsonFrameListing : public FrameListener {
 public:
  explicit JsonFrameListing(FILE* out);
  void begin();
  void frame(uint64_t index, long long offset, const SdifFrameHeader& header) override;
  void matrix(const SdifMatrixHeader& header) override;
  void frame_end() override;
  void end();

 private:
  FILE* out;
  bool first_frame = true;
  bool first_matrix = true;
};
