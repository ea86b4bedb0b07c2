// The punctuation of sdif-export's lines of values: CSV (RFC 4180), TSV, and JSON arrays for --wide.
#pragma once

#include <string>
#include <string_view>

#include "export/number_text.h"

struct LineSyntax {
  char separator;
  std::string_view start, end;  // of every line
  const NonFiniteWords& words;
  bool quotes;  // text fields in RFC 4180's double quotes where they need them
};

extern const LineSyntax CSV_SYNTAX;
extern const LineSyntax TSV_SYNTAX;
extern const LineSyntax JSON_ARRAY_SYNTAX;

// `text` as a field. Type texts are printable ASCII (sdif-info's escapes), so a TSV field never holds
// a tab or a line break; a CSV field holding its separator or a quote is quoted.
std::string text_field(const LineSyntax& syntax, const std::string& text);
