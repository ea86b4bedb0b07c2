// The pass over the file: each frame and matrix header through the selection, the elements of those
// taken in pieces through the format, the text held until its frame is whole. Then the end of the
// read, reported as sdif-info reports it, and the output put in place.
#include "export/export_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "cli/output_file.h"
#include "cli/program_guard.h"
#include "export/jsonl_format.h"
#include "export/table_format.h"
#include "export/wide_format.h"
#include "info/file_survey.h"
#include "info/text_report.h"
#include "info/value_text.h"
#include "sdif/sdif_frame_reader.h"
#include "version.h"

namespace {

constexpr const char* PROGRAM = "sdif-export";
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

// Elements are read in pieces of this many bytes, as sdif-info reads them.
constexpr size_t PIECE_BYTES = 16384;
// The message about matrices that do not fit names at most this many kinds of them.
constexpr size_t MAX_LISTED_SHAPES = 16;

struct Shape {
  TypeBytes type;
  int64_t size;
  bool operator==(const Shape& other) const { return type == other.type && size == other.size; }
};

// What the pass found, besides the text it wrote.
struct PassEnd {
  uint64_t whole_frames = 0;
  uint64_t selected = 0;    // matrices the selection took
  uint64_t unexported = 0;  // of those, matrices of data types that hold no numbers
  bool misfit = false;      // one did not fit the format, and writing stopped there
  std::vector<Shape> shapes;
  bool more_shapes = false;
};

bool exportable(int32_t data_type) { return SDIF_IsNumeric(data_type) || SDIF_DataKind(data_type) == SdifKind::Text; }

template <typename T, typename Format>
bool copy_elements(SdifFrameReader& reader, Format& format, const HeldText& held) {
  uint64_t piece[PIECE_BYTES / sizeof(uint64_t)];
  size_t count;
  while (reader.next_elements(piece, PIECE_BYTES / sizeof(T), &count) == SdifCode::Ok && count > 0) {
    format.values(reinterpret_cast<const T*>(piece), count);
    if (held.write_error()) return false;
  }
  return reader.result == SdifCode::Ok;
}

template <typename Format>
class Pass {
 public:
  Pass(SdifFrameReader& reader, const Selection& selection, Format format, HeldText& held)
      : reader(reader), selection(selection), format(format), held(held) {}

  PassEnd run() {
    SdifFrameHeader frame;
    while (!held.write_error() && reader.next_frame(&frame) == SdifCode::Ok && read_frame(frame)) {
      end.whole_frames++;
      if (!end.misfit) held.frame_done();
    }
    held.finish();
    return end;
  }

 private:
  // False when the read stopped inside the frame.
  bool read_frame(const SdifFrameHeader& frame) {
    bool taken = selection.takes(frame);
    SdifMatrixHeader matrix;
    SdifResult r;
    while ((r = reader.next_matrix(&matrix)) == SdifCode::Ok) {
      if (!taken || !selection.takes(matrix)) continue;
      end.selected++;
      if (!exportable(matrix.data_type)) {
        end.unexported++;
        continue;
      }
      // Tables have no line for a matrix without values, and leave it out of their columns.
      if ((matrix.rows == 0 || matrix.columns == 0) && !Format::TAKES_EMPTY) continue;
      note_shape(matrix);
      if (end.misfit || beyond_end(matrix)) continue;
      if (!format.begin(frame, matrix)) {
        // Read on without writing, to name every kind of matrix in the selection.
        end.misfit = true;
        held.drop_frame();
        continue;
      }
      if (!copy(matrix)) return false;
      format.end();
    }
    return r == SdifCode::EndOfData;
  }

  // Elements that would pass the end of a regular file: the read will stop inside them. The format
  // never sees the header, whose column count could otherwise make names out of nothing.
  bool beyond_end(const SdifMatrixHeader& matrix) const {
    int64_t bytes = int64_t(matrix.rows) * matrix.columns * SDIF_ElementWidth(matrix.data_type);
    return reader.file_size >= 0 && bytes > reader.file_size - reader.offset;
  }

  bool copy(const SdifMatrixHeader& matrix) {
    if (SDIF_DataKind(matrix.data_type) == SdifKind::Text) return copy_elements<uint8_t>(reader, format, held);
    return SDIF_VisitNumeric(matrix.data_type, false,
                             [&](auto element) { return copy_elements<decltype(element)>(reader, format, held); });
  }

  void note_shape(const SdifMatrixHeader& matrix) {
    Shape shape = {{}, Format::shape(matrix)};
    std::memcpy(shape.type.data(), matrix.type, shape.type.size());
    if (std::find(end.shapes.begin(), end.shapes.end(), shape) != end.shapes.end()) return;
    end.more_shapes = end.more_shapes || end.shapes.size() == MAX_LISTED_SHAPES;
    if (!end.more_shapes) end.shapes.push_back(shape);
  }

  SdifFrameReader& reader;
  const Selection& selection;
  Format format;
  HeldText& held;
  PassEnd end;
};

// One pass in `Format`; when a matrix did not fit, `misfit` says which kinds the selection holds.
template <typename Format>
PassEnd pass(SdifFrameReader& reader, const Selection& selection, Format format, HeldText& held, std::string& misfit) {
  PassEnd end = Pass<Format>(reader, selection, format, held).run();
  if (!end.misfit) return end;
  std::string kinds;
  for (const Shape& shape : end.shapes)
    kinds += (kinds.empty() ? "" : ", ") + type_text(shape.type.data()) + " (" + Format::shape_text(shape.size) + ")";
  misfit = std::string(Format::MISFIT) + "; the selection holds " + kinds + (end.more_shapes ? ", ..." : "") + "; " +
           Format::HINT;
  return end;
}

PassEnd run_format(SdifFrameReader& reader, const ExportOptions& o, HeldText& held, std::string& misfit) {
  const LineSyntax& syntax = o.format == ExportFormat::Tsv ? TSV_SYNTAX : CSV_SYNTAX;
  bool json = o.format == ExportFormat::Jsonl;
  if (o.wide)
    return pass(reader, o.selection, WideFormat(held, json ? JSON_ARRAY_SYNTAX : syntax, !json), held, misfit);
  if (json) return pass(reader, o.selection, JsonlFormat(held), held, misfit);
  return pass(reader, o.selection, TableFormat(held, syntax), held, misfit);
}

class FileExport {
 public:
  FileExport(const ExportOptions& options, FILE* out, FILE* err) : o(options), out(out), err(err) {}

  int run() {
    SdifFrameReader reader(o.file.c_str());
    FileSurvey read;
    read.path = o.file;
    read.header_valid = reader.result == SdifCode::Ok;
    if (!read.header_valid) {
      set_read_end(read, reader);
      return message(o.file, outcome_text(read), EXIT_FAILED);
    }
    FILE* stream = out;
    if (o.output != "-") {
      std::string reason = output.open(o.output, o.file);
      if (reason.empty() && !(stream = output.stream())) reason = std::strerror(errno);
      if (!reason.empty()) return message(o.output, reason, EXIT_FAILED);
    }
    HeldText held(stream);
    std::string misfit;
    PassEnd end = run_format(reader, o, held, misfit);
    if (held.write_error()) return write_failed(held.write_error());
    if (end.misfit) return message(o.file, misfit, EXIT_USAGE);

    read.frames = end.whole_frames;
    set_read_end(read, reader);
    if (end.unexported)
      message(o.file, std::to_string(end.unexported) + " matrices of data types that hold no numbers left out", 0);
    else if (end.selected == 0 && read.outcome == ReadOutcome::Complete)
      message(o.file, "nothing matches the selection", 0);
    if (stream == out) {
      if (std::fflush(out) != 0) return write_failed(errno);
    } else if (std::string reason = output.commit(); !reason.empty()) {
      return message(o.output, reason, EXIT_FAILED);
    }

    std::string ending = outcome_text(read);
    if (held.spilled())
      ending += "; the whole lines of that frame were written, the frame being too large to hold back";
    if (read.outcome == ReadOutcome::Cut) return message(o.file, ending, 0);
    if (read.outcome != ReadOutcome::Complete) return message(o.file, ending, EXIT_FAILED);
    return 0;
  }

 private:
  int message(const std::string& name, const std::string& text, int status) {
    std::fprintf(err, "%s: %s: %s\n", PROGRAM, name.c_str(), text.c_str());
    return status;
  }

  // A reader that closed the pipe wants no more: the export ends there, quietly.
  int write_failed(int error) {
    if (o.output == "-" && error == EPIPE) return 0;
    return message(o.output == "-" ? "standard output" : o.output, std::strerror(error), EXIT_FAILED);
  }

  const ExportOptions& o;
  FILE* out;
  FILE* err;
  OutputFile output;
};

}  // namespace

int export_file(const ExportOptions& options, FILE* out, FILE* err) {
  note_input(options.file.c_str());
  return FileExport(options, out, err).run();
}

int export_main(int argc, char** argv, FILE* out, FILE* err) {
  ParsedExport parsed = parse_export_options(argc, argv);
  switch (parsed.action) {
    case ParsedExport::HELP:
      std::fputs(EXPORT_USAGE.c_str(), out);
      return 0;
    case ParsedExport::VERSION:
      std::fprintf(out, "%s %s\n", PROGRAM, SDIF_VIEWER_VERSION);
      return 0;
    case ParsedExport::USAGE_ERROR:
      std::fprintf(err, "%s: %s\nTry '%s --help' for more information.\n", PROGRAM, parsed.error.c_str(), PROGRAM);
      return EXIT_USAGE;
    case ParsedExport::EXPORT:
      break;
  }
  return export_file(parsed.options, out, err);
}
