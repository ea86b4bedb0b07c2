// Option parsing with getopt_long, and the checks that make a value that selects nothing sensible a
// usage error: an unknown format, a type that is not 4 bytes, a time range that ends before it starts.
#include "export/export_options.h"
#include "cli/option_error.h"

#include <getopt.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

const std::string EXPORT_USAGE =
    std::string("Usage: sdif-export [OPTION]... FILE\n"
    "Write the values of an SDIF analysis file as CSV, TSV or JSON lines, for plots,\n"
    "spreadsheets and scripts.\n"
    "\n"
    "      --format FORMAT    csv (default), tsv or jsonl\n"
    "      --stream ID        only frames of this stream ID\n"
    "      --frame TYPE       only frames of this type (") + SDIF_TRACKS_TYPE + ", " + SDIF_FUNDAMENTAL_TYPE + ", ...)\n"
    "      --matrix TYPE      only matrices of this type\n"
    "      --time START:END   only frames from START to END seconds; either may be empty\n"
    "      --wide             one line per spectrum: the time, then the magnitude of\n"
    "                         each bin (" + WIDE_DEFAULT_MATRIX + " matrices unless --matrix is given)\n"
    "  -o, --output OUT       write to OUT, replaced when complete (default: standard output)\n"
    "  -h, --help             show this help and exit\n"
    "      --version          show the version and exit\n"
    "\n"
    "CSV and TSV have one line per matrix row: time, stream, frame, matrix, row, then\n"
    "the matrix's columns; they take matrices of one width, so pick one type with\n"
    "--matrix where the file mixes them. Exit status: 0 when the file was exported,\n"
    "1 when it is missing, unreadable or damaged (what precedes the damage is written)\n"
    "or the output cannot be written, 2 for a usage error.\n";

namespace {

enum LongOnly { FORMAT = 256, STREAM, FRAME, MATRIX, TIME, WIDE, VERSION };

const option LONG_OPTIONS[] = {
    {"format", required_argument, nullptr, FORMAT},
    {"stream", required_argument, nullptr, STREAM},
    {"frame", required_argument, nullptr, FRAME},
    {"matrix", required_argument, nullptr, MATRIX},
    {"time", required_argument, nullptr, TIME},
    {"wide", no_argument, nullptr, WIDE},
    {"output", required_argument, nullptr, 'o'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, VERSION},
    {nullptr, 0, nullptr, 0},
};

bool parse_format(const std::string& name, ExportFormat& format) {
  const struct {
    const char* name;
    ExportFormat format;
  } names[] = {{"csv", ExportFormat::Csv}, {"tsv", ExportFormat::Tsv}, {"jsonl", ExportFormat::Jsonl}};
  for (const auto& entry : names) {
    if (name == entry.name) {
      format = entry.format;
      return true;
    }
  }
  return false;
}

bool parse_stream(const std::string& text, int32_t& id) {
  errno = 0;
  char* after;
  long long value = std::strtoll(text.c_str(), &after, 10);
  if (text.empty() || *after != '\0' || errno != 0 || value < INT32_MIN || value > INT32_MAX) return false;
  id = int32_t(value);
  return true;
}

// One end of a time range: empty for none, else a finite number of seconds.
bool parse_time(const std::string& text, std::optional<double>& seconds) {
  seconds.reset();
  if (text.empty()) return true;
  char* after;
  double value = std::strtod(text.c_str(), &after);
  if (*after != '\0' || !std::isfinite(value)) return false;
  seconds = value;
  return true;
}

bool parse_range(const std::string& text, Selection& selection) {
  size_t colon = text.find(':');
  return colon != std::string::npos && parse_time(text.substr(0, colon), selection.start) &&
         parse_time(text.substr(colon + 1), selection.end) &&
         !(selection.start && selection.end && *selection.end < *selection.start);
}

}  // namespace

ParsedExport parse_export_options(int argc, char** argv) {
  ParsedExport parsed;
  ExportOptions& o = parsed.options;
  Selection& s = o.selection;
  auto usage = [&](const std::string& error) {
    parsed.action = ParsedExport::USAGE_ERROR;
    parsed.error = error;
    return parsed;
  };
  optind = 0;  // a fresh scan, also when called again in one process
  opterr = 0;
  int option;
  while ((option = getopt_long(argc, argv, ":o:h", LONG_OPTIONS, nullptr)) != -1) {
    std::string value = optarg ? optarg : "";
    int32_t id;
    TypeBytes type;
    switch (option) {
      case FORMAT:
        if (!parse_format(value, o.format)) return usage("--format '" + value + "' is not csv, tsv or jsonl");
        break;
      case STREAM:
        if (!parse_stream(value, id)) return usage("--stream '" + value + "' is not a stream ID (a 32-bit integer)");
        s.stream = id;
        break;
      case FRAME:
      case MATRIX:
        if (!parse_type_text(value, type))
          return usage(std::string(option == FRAME ? "--frame" : "--matrix") + " '" + value +
                       "' is not a type of 4 characters");
        (option == FRAME ? s.frame_type : s.matrix_type) = type;
        break;
      case TIME:
        if (!parse_range(value, s))
          return usage("--time '" + value + "' is not START:END in seconds, END not before START");
        break;
      case WIDE:
        o.wide = true;
        break;
      case 'o':
        if (value.empty()) return usage("-o: the output name is empty");
        o.output = value;
        break;
      case 'h':
        parsed.action = ParsedExport::HELP;
        return parsed;
      case VERSION:
        parsed.action = ParsedExport::VERSION;
        return parsed;
      default:
        return usage(option_error(option, argv));
    }
  }
  if (optind == argc) return usage("no FILE given");
  if (argc - optind > 1) return usage("one FILE at a time; '" + std::string(argv[optind + 1]) + "' is a second");
  o.file = argv[optind];
  if (o.wide && !s.matrix_type) parse_type_text(WIDE_DEFAULT_MATRIX, s.matrix_type.emplace());
  return parsed;
}
