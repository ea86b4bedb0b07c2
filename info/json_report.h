// sdif-info's report for programs: one JSON object per file, with the keys listed in sdif-info(1).
// Every value is made by nlohmann::json, so whatever bytes the file's types hold, the output is valid
// JSON; the object is written a piece at a time, so its size never has to fit in memory.
#pragma once

#include <cstdio>

#include <nlohmann/json.hpp>

#include "info/file_survey.h"

// Writes the object and a newline.
void write_json_report(const FileSurvey& survey, FILE* out);

// Writes one object member by member, each value dumped by the JSON library, for objects too large to
// build whole. The caller gives the members in the order of their keys, as the library orders the
// members of the objects it dumps whole.
class ObjectWriter {
 public:
  // Writes the opening brace.
  explicit ObjectWriter(FILE* out);
  void member(const char* key, const nlohmann::json& value);
  // Starts a member whose value the caller writes.
  void name(const char* key);
  void close();

 private:
  FILE* out;
  bool first = true;
};

// A number, or "NaN", "Infinity" or "-Infinity", which JSON has no numbers for.
nlohmann::json json_number(double value);

// Text of one JSON value; text that is not UTF-8 (a file name, say) gets replacement characters
// instead of making the output invalid.
std::string json_text(const nlohmann::json& value);
