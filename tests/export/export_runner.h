// Runs sdif-export's main in-process with its standard output and error kept in memory, and splits
// the lines and fields it writes; for its tests and its fuzz target.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "export/export_run.h"
#include "tests/support/main_run.h"

using ExportRun = MainRun;

inline ExportRun run_export(std::vector<std::string> arguments) {
  return run_main(export_main, "sdif-export", std::move(arguments));
}

// The lines of `text`, each ended by `end`; false when text follows the last end.
inline bool split_lines(const std::string& text, const std::string& end, std::vector<std::string>& lines) {
  lines.clear();
  size_t at = 0, next;
  while ((next = text.find(end, at)) != std::string::npos) {
    lines.push_back(text.substr(at, next - at));
    at = next + end.size();
  }
  return at == text.size();
}

// The fields of one CSV (RFC 4180: double quotes around a field, doubled inside it) or TSV line;
// false when its quotes are malformed.
inline bool split_fields(const std::string& line, char separator, std::vector<std::string>& fields) {
  fields.assign(1, "");
  bool quoted = false;
  for (size_t i = 0; i < line.size(); i++) {
    char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += c;
      i++;
    } else if (quoted && c == '"') {
      quoted = false;
      if (i + 1 < line.size() && line[i + 1] != separator) return false;
    } else if (!quoted && c == separator) {
      fields.emplace_back();
    } else if (!quoted && c == '"' && separator == ',') {
      if (!fields.back().empty()) return false;
      quoted = true;
    } else {
      if (!quoted && (c == '\n' || c == '\r')) return false;
      fields.back() += c;
    }
  }
  return !quoted;
}
