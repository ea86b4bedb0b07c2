// The frame listing of sdif-info --frames: one entry per frame and matrix, written as the survey
// reads them, so a file of any size starts listing at once.
#pragma once

#include <cstdio>
#include <optional>

#include "info/file_survey.h"
#include "info/json_report.h"

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

// JSON lines: one object per frame and line, its matrices in an array, before the file's own object.
class JsonFrameListing : public FrameListener {
 public:
  explicit JsonFrameListing(FILE* out);
  void frame(uint64_t index, long long offset, const SdifFrameHeader& header) override;
  void matrix(const SdifMatrixHeader& header) override;
  void frame_end() override;

 private:
  FILE* out;
  std::optional<ObjectWriter> entry;
  long long offset = 0;
  SdifFrameHeader header = {};
  bool first_matrix = true;
};
