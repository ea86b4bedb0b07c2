// The command line of sdif-export: the format, the selection, --wide, the output and the one FILE.
// Parsed by parse_export_options, which the tests call directly; main only hands it argv.
#pragma once

#include <string>

#include "export/selection.h"
#include "sdif/sdif_standard_types.h"

enum class ExportFormat { Csv, Tsv, Jsonl };

// The matrices --wide takes when no --matrix is given: the short-time spectra of the residual panel.
inline constexpr const char* WIDE_DEFAULT_MATRIX = SDIF_SPECTRUM_TYPE;

struct ExportOptions {
  ExportFormat format = ExportFormat::Csv;
  Selection selection;
  bool wide = false;
  std::string output = "-";  // "-" is standard output
  std::string file;
};

struct ParsedExport {
  enum Action { EXPORT, HELP, VERSION, USAGE_ERROR } action = EXPORT;
  ExportOptions options;
  std::string error;  // for USAGE_ERROR: one line naming the bad option, without the program's name
};

ParsedExport parse_export_options(int argc, char** argv);

// The text of --help.
extern const std::string EXPORT_USAGE;
