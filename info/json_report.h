// sdif-info's report for programs: one JSON object per file, with the keys listed in sdif-info(1).
// Built with nlohmann::json, so whatever bytes the file's types hold, the output is valid JSON.
#pragma once

#include <nlohmann/json.hpp>

#include "info/file_survey.h"

nlohmann::json json_report(const FileSurvey& survey);

// A number, or "NaN", "Infinity" or "-Infinity", which JSON has no numbers for.
nlohmann::json json_number(double value);

// Text of one JSON value; text that is not UTF-8 (a file name, say) gets replacement characters
// instead of making the output invalid.
std::string json_text(const nlohmann::json& value);
