// The three syntaxes and CSV's quoting.
#include "export/line_syntax.h"

// RFC 4180 ends records with CR LF; TSV and JSON lines are read line by line as Unix text.
const LineSyntax CSV_SYNTAX = {',', "", "\r\n", PLAIN_WORDS, true};
const LineSyntax TSV_SYNTAX = {'\t', "", "\n", PLAIN_WORDS, false};
const LineSyntax JSON_ARRAY_SYNTAX = {',', "[", "]\n", JSON_WORDS, false};

std::string text_field(const LineSyntax& syntax, const std::string& text) {
  if (!syntax.quotes || text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}
