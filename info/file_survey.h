// One streaming pass over an SDIF file that gathers what sdif-info reports: how the read ends, every
// stream with its times and matrix types and their column ranges, and what the viewer will show.
// Fixed limits on streams, matrix types and ranged columns, each counted over the whole file, keep its
// memory within a few megabytes whatever the file holds.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "info/column_ranges.h"
#include "sdif/sdif_format.h"
#include "views/panel_table.h"

using TypeCode = std::array<char, 4>;

// What the matrices of one type and one data type within one stream held.
struct MatrixSummary {
  uint64_t count = 0;
  int32_t min_rows = 0, max_rows = 0;
  int32_t min_columns = 0, max_columns = 0;
  std::vector<ColumnRange> columns;  // the first MAX_RANGED_COLUMNS columns of numeric data types

  void add(int32_t rows, int32_t columns);
  void merge(const MatrixSummary& other);
  // Empty again, keeping the memory of the columns for the next frame.
  void clear();
};

struct MatrixTypeSurvey {
  TypeCode type;
  int32_t data_type;
  MatrixSummary whole;    // of the stream's whole frames
  MatrixSummary pending;  // of the frame being read, added to `whole` once that frame is complete
  size_t granted_columns = 0;  // ranged columns taken from the file's allowance
};

// A stream as the viewer groups frames: by stream ID alone.
struct StreamSurvey {
  int32_t id = 0;
  std::vector<TypeCode> frame_types;  // in order of appearance, at most MAX_FRAME_TYPES
  uint64_t frames = 0;
  double first_time = 0, last_time = 0;
  uint64_t steps_back = 0;      // frames whose time is below the previous frame's
  uint64_t repeated_times = 0;  // frames whose time equals the previous frame's
  uint64_t nan_times = 0;
  int32_t min_matrices = 0, max_matrices = 0;
  std::vector<MatrixTypeSurvey> matrix_types;  // at most MAX_MATRIX_TYPES
  uint64_t unsurveyed_matrices = 0;            // of further matrix types

  // For a stream with frames of the Sinusoids panel's type: the largest track index that panel's view
  // reads (column 0 of the matrix it reads, as an int), from the stream's first such frame on, as the
  // view reads the stream when it shows it; none when no row there has one.
  bool has_tracks = false;
  std::optional<int32_t> largest_track_index;
  // For a stream with frames of the Residual panel's type: the rows of the matrix that panel's view
  // reads in the stream's first such frame, the bins the view shows (0 when that frame lacks it).
  std::optional<int32_t> bins;
};

enum class ReadOutcome { Complete, Cut, Damaged, Unreadable };

struct FileSurvey {
  std::string path;
  long long file_size = -1;  // -1 when the file is not a regular file
  SdifFileHeader header = {};
  bool header_valid = false;

  ReadOutcome outcome = ReadOutcome::Complete;
  SdifResult code = SdifCode::Ok;  // of the failure that ended a Damaged or Unreadable read
  std::string reason;              // in plain words (cli/read_error), the system's where it refused a read
  long long failure_offset = 0;    // where the bad header or the short read begins
  uint64_t frames = 0;             // whole frames read; the index of a cut frame

  std::vector<StreamSurvey> streams;  // in order of first appearance, at most MAX_STREAMS
  uint64_t unsurveyed_frames = 0;     // of further streams

  // The stream ID each panel shows, in band order, as the viewer's cursors choose it: that of the
  // first whole frame of the panel's frame type.
  std::array<bool, PANEL_COUNT> has_panel = {};
  std::array<int32_t, PANEL_COUNT> panel_stream = {};

  // Whether the viewer opens its window; otherwise it shows one of its start-up messages.
  bool viewer_opens() const;
};

// Per file, per stream and per file again: what the survey keeps. Matrices of further types are
// counted per stream, frames of further streams per file, and columns past the allowance get no range.
constexpr size_t MAX_STREAMS = 1024;
constexpr size_t MAX_MATRIX_TYPES = 64;
constexpr size_t MAX_FRAME_TYPES = 8;
constexpr size_t MAX_MATRIX_TYPES_IN_ALL = 4096;
constexpr size_t MAX_RANGED_COLUMNS_IN_ALL = 32768;

// Told of every frame and matrix header as the survey reads it, for a listing that streams.
class FrameListener {
 public:
  virtual ~FrameListener() = default;
  virtual void frame(uint64_t index, long long offset, const SdifFrameHeader& header) = 0;
  // Also for a header that the read then stops at (an unreadable width or impossible counts).
  virtual void matrix(const SdifMatrixHeader& header) = 0;
  virtual void frame_end() = 0;
};

FileSurvey survey_file(const std::string& path, FrameListener* listener = nullptr);

class SdifFrameReader;
// Sets how the read that `reader` made ends (outcome, code, reason, failure offset) as the survey
// reports it, `out.header_valid` and `out.frames` being set already. Also for the programs that stream
// a file of their own and report its end as sdif-info does (sdif-export).
void set_read_end(FileSurvey& out, const SdifFrameReader& reader);
