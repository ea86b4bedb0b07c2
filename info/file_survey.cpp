// The survey's single pass: frame after frame through the streaming reader, the elements of numeric
// matrices folded into column ranges piece by piece. A frame counts only once it is whole, as the
// viewer's loader drops a frame that the end of the file cuts short.
#include "info/file_survey.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>
#include <unordered_map>

#include "cli/read_error.h"
#include "sdif/sdif_document.h"
#include "sdif/sdif_frame_reader.h"

namespace {

// Elements are read in pieces of this many bytes: enough to make the per-piece work negligible,
// small enough to stay in the first-level cache.
constexpr size_t PIECE_BYTES = 16384;

TypeCode type_code(const char* bytes) {
  TypeCode code;
  std::memcpy(code.data(), bytes, 4);
  return code;
}

// Reads the current matrix's elements as T, a piece at a time: fold(values, count, column) for each
// piece, `column` that of its first element.
template <typename T, class Fold>
SdifResult gather(SdifFrameReader& reader, const SdifMatrixHeader& matrix, Fold fold) {
  static uint64_t piece[PIECE_BYTES / sizeof(uint64_t)];
  const size_t columns = size_t(matrix.columns);
  size_t done = 0, count = 0;
  SdifResult r;
  while ((r = reader.next_elements(piece, PIECE_BYTES / sizeof(T), &count)) == SdifCode::Ok && count > 0) {
    fold(reinterpret_cast<const T*>(piece), count, done % columns);
    done += count;
  }
  return r;
}

// What a value without an int counts as among the values of track indices: less than all of them.
constexpr double NO_INDEX = -std::numeric_limits<double>::infinity();

// Raises `largest` to the track indices in column 0 of a piece whose first element lies in `column`.
// Truncation keeps the order of values, so the largest value that has an int gives the largest index.
// Four running maxima, so that the comparisons of one element need not wait for the one before.
template <typename T>
void fold_track_indices(const T* values, size_t count, size_t column, size_t columns, std::optional<int32_t>& largest) {
  auto value_of = [](T element) {
    int32_t index = 0;
    if (!element_to_int(element, index)) return NO_INDEX;
    return std::is_floating_point_v<T> ? double(element) : double(index);
  };
  double top[4] = {NO_INDEX, NO_INDEX, NO_INDEX, NO_INDEX};
  size_t i = (columns - column) % columns;
  for (; i + 3 * columns < count; i += 4 * columns)
    for (size_t k = 0; k < 4; ++k) top[k] = std::max(top[k], value_of(values[i + k * columns]));
  for (; i < count; i += columns) top[0] = std::max(top[0], value_of(values[i]));
  double highest = std::max({top[0], top[1], top[2], top[3]});
  if (highest == NO_INDEX) return;
  int32_t index = static_cast<int32_t>(highest);
  if (!largest || index > *largest) largest = index;
}

class Survey {
 public:
  Survey(FileSurvey& out, FrameListener* listener) : out(out), listener(listener) {}

  // Reads the frame whose header was just read; false when the read stopped inside it.
  bool read_frame(SdifFrameReader& reader, const SdifFrameHeader& frame) {
    StreamSurvey* stream = stream_of(frame.stream_id);
    touched.clear();
    const PanelSpec &tracks = panel_spec(VIEW_TRACKS), &residual = panel_spec(VIEW_RESIDUAL);
    bool reads_tracks = stream && (stream->has_tracks || SDIF_SameType(frame.type, tracks.frame_type));
    bool first_spectrum = stream && !stream->bins && SDIF_SameType(frame.type, residual.frame_type);
    frame_track_index.reset();
    frame_bins = 0;
    SdifMatrixHeader matrix;
    SdifResult r;
    for (int number = 0; (r = reader.next_matrix(&matrix)) == SdifCode::Ok; ++number) {
      if (listener) listener->matrix(matrix);
      // Elements of a matrix left out of the survey are skipped by the reader, unless the track view
      // reads its indices. That view reads three columns at least.
      MatrixTypeSurvey* type = stream ? pending_type(*stream, matrix) : nullptr;
      bool indices = reads_tracks && number == tracks.matrix && matrix.columns >= 3;
      if ((type || indices) && gather_elements(reader, matrix, type, indices) != SdifCode::Ok) return false;
      if (type) type->pending.add(matrix.rows, matrix.columns);
      if (first_spectrum && number == residual.matrix) frame_bins = std::max(matrix.rows, 0);
    }
    if (listener && (r == SdifCode::UnknownDataType || r == SdifCode::BadMatrixHeader)) listener->matrix(matrix);
    if (r != SdifCode::EndOfData) return false;
    if (stream) {
      commit(*stream, frame);
      stream->has_tracks = reads_tracks;
      if (first_spectrum) stream->bins = frame_bins;
      if (frame_track_index && (!stream->largest_track_index || *frame_track_index > *stream->largest_track_index))
        stream->largest_track_index = frame_track_index;
    }
    else out.unsurveyed_frames++;
    for (int panel = 0; panel < PANEL_COUNT; panel++) {
      if (!out.has_panel[panel] && SDIF_SameType(frame.type, PANELS[panel].frame_type)) {
        out.has_panel[panel] = true;
        out.panel_stream[panel] = frame.stream_id;
      }
    }
    out.frames++;
    return true;
  }

  // A frame cut short may have opened a stream or a matrix type that no whole frame has.
  void drop_cut_frame() {
    for (StreamSurvey& stream : out.streams) {
      auto& types = stream.matrix_types;
      types.erase(std::remove_if(types.begin(), types.end(), [](const MatrixTypeSurvey& t) { return t.whole.count == 0; }),
                  types.end());
    }
    auto& streams = out.streams;
    streams.erase(std::remove_if(streams.begin(), streams.end(), [](const StreamSurvey& s) { return s.frames == 0; }),
                  streams.end());
  }

 private:
  StreamSurvey* stream_of(int32_t id) {
    auto found = index.find(id);
    if (found != index.end()) return &out.streams[found->second];
    if (out.streams.size() == MAX_STREAMS) return nullptr;
    index.emplace(id, out.streams.size());
    out.streams.emplace_back();
    out.streams.back().id = id;
    return &out.streams.back();
  }

  MatrixTypeSurvey* pending_type(StreamSurvey& stream, const SdifMatrixHeader& matrix) {
    auto& types = stream.matrix_types;
    auto found = std::find_if(types.begin(), types.end(), [&](const MatrixTypeSurvey& t) {
      return SDIF_SameType(t.type.data(), matrix.type) && t.data_type == matrix.data_type;
    });
    if (found == types.end()) {
      if (types.size() == MAX_MATRIX_TYPES || types_left == 0) {
        stream.unsurveyed_matrices++;
        return nullptr;
      }
      types_left--;
      types.push_back({type_code(matrix.type), matrix.data_type, {}, {}});
      found = types.end() - 1;
    }
    size_t slot = size_t(found - types.begin());
    if (std::find(touched.begin(), touched.end(), slot) == touched.end()) touched.push_back(slot);
    return &*found;
  }

  // Folds the elements of a numeric data type into the type's pending ranges, if it has one, as many
  // columns as the file's allowance still grants, and with `indices` the track indices of column 0
  // into the frame's; leaves other data types to the reader, which skips them.
  SdifResult gather_elements(SdifFrameReader& reader, const SdifMatrixHeader& m, MatrixTypeSurvey* type, bool indices) {
    const size_t columns = size_t(m.columns), max_ranged = type ? type->granted_columns + columns_left : 0;
    SdifResult r = SDIF_VisitNumeric(m.data_type, SdifResult(SdifCode::Ok), [&](auto element) {
      using T = decltype(element);
      return gather<T>(reader, m, [&](const T* values, size_t count, size_t column) {
        if (type) gather_columns(values, count, column, columns, max_ranged, type->pending.columns);
        if constexpr (converted_element<T>)
          if (indices) fold_track_indices(values, count, column, columns, frame_track_index);
      });
    });
    if (type && type->pending.columns.size() > type->granted_columns) {
      columns_left -= type->pending.columns.size() - type->granted_columns;
      type->granted_columns = type->pending.columns.size();
    }
    return r;
  }

  void commit(StreamSurvey& stream, const SdifFrameHeader& frame) {
    for (size_t slot : touched) {
      MatrixTypeSurvey& t = stream.matrix_types[slot];
      t.whole.merge(t.pending);
      t.pending.clear();
    }
    int32_t matrices = std::max(frame.matrix_count, 0);
    if (stream.frames == 0) {
      stream.first_time = frame.time;
      stream.min_matrices = stream.max_matrices = matrices;
    } else {
      stream.steps_back += frame.time < stream.last_time;
      stream.repeated_times += frame.time == stream.last_time;
      stream.min_matrices = std::min(stream.min_matrices, matrices);
      stream.max_matrices = std::max(stream.max_matrices, matrices);
    }
    stream.nan_times += std::isnan(frame.time);
    stream.last_time = frame.time;
    stream.frames++;
    TypeCode type = type_code(frame.type);
    auto& types = stream.frame_types;
    if (types.size() < MAX_FRAME_TYPES && std::find(types.begin(), types.end(), type) == types.end())
      types.push_back(type);
  }

  FileSurvey& out;
  FrameListener* listener;
  std::unordered_map<int32_t, size_t> index;
  std::vector<size_t> touched;  // matrix types of the frame being read
  // What the frame being read adds to its stream's track index and bins once it is whole.
  std::optional<int32_t> frame_track_index;
  int32_t frame_bins = 0;
  size_t types_left = MAX_MATRIX_TYPES_IN_ALL;
  size_t columns_left = MAX_RANGED_COLUMNS_IN_ALL;
};

}  // namespace

void MatrixSummary::add(int32_t rows, int32_t columns_of_matrix) {
  min_rows = count == 0 ? rows : std::min(min_rows, rows);
  max_rows = count == 0 ? rows : std::max(max_rows, rows);
  min_columns = count == 0 ? columns_of_matrix : std::min(min_columns, columns_of_matrix);
  max_columns = count == 0 ? columns_of_matrix : std::max(max_columns, columns_of_matrix);
  count++;
}

void MatrixSummary::clear() {
  count = 0;
  columns.clear();
}

void MatrixSummary::merge(const MatrixSummary& other) {
  if (other.count == 0) return;
  min_rows = count == 0 ? other.min_rows : std::min(min_rows, other.min_rows);
  max_rows = count == 0 ? other.max_rows : std::max(max_rows, other.max_rows);
  min_columns = count == 0 ? other.min_columns : std::min(min_columns, other.min_columns);
  max_columns = count == 0 ? other.max_columns : std::max(max_columns, other.max_columns);
  count += other.count;
  if (columns.size() < other.columns.size()) columns.resize(other.columns.size());
  for (size_t k = 0; k < other.columns.size(); k++) columns[k].merge(other.columns[k]);
}

bool FileSurvey::viewer_opens() const {
  bool readable = outcome == ReadOutcome::Complete || outcome == ReadOutcome::Cut;
  return readable && std::find(has_panel.begin(), has_panel.end(), true) != has_panel.end();
}

FileSurvey survey_file(const std::string& path, FrameListener* listener) {
  FileSurvey out;
  out.path = path;
  SdifFrameReader reader(path.c_str());
  out.file_size = reader.file_size;
  out.header = reader.header;
  out.header_valid = reader.result == SdifCode::Ok;
  Survey survey(out, listener);
  SdifFrameHeader frame;
  while (reader.next_frame(&frame) == SdifCode::Ok) {
    if (listener) listener->frame(out.frames, reader.frame_offset, frame);
    bool whole = survey.read_frame(reader, frame);
    if (listener) listener->frame_end();
    if (!whole) break;
  }
  survey.drop_cut_frame();
  set_read_end(out, reader);
  return out;
}

void set_read_end(FileSurvey& out, const SdifFrameReader& reader) {
  out.code = reader.result;
  out.failure_offset = reader.failure_offset;
  if (reader.result == SdifCode::EndOfData) {
    out.outcome = ReadOutcome::Complete;
    out.code = SdifCode::Ok;
  } else if (reader.stopped_at_end()) {
    out.outcome = ReadOutcome::Cut;
  } else if (reader.result == SdifCode::CLibraryError || (!out.header_valid && reader.error_number != 0)) {
    out.outcome = ReadOutcome::Unreadable;
    out.reason = read_error_text(reader.result, reader.error_number);
  } else {
    out.outcome = ReadOutcome::Damaged;
    out.reason = read_error_text(reader.result, reader.error_number);
  }
}
