// sdif-info's report for people: the file, how reading it ends, every stream, and what the viewer
// shows, in aligned lines with units.
#pragma once

#include <cstdio>
#include <string>

#include "info/file_survey.h"

// The one line that says how reading ends, as in the report: "complete", "cut inside frame N (byte
// OFFSET): ...", "damaged at byte OFFSET: ...", or "unreadable: ...".
std::string outcome_text(const FileSurvey& survey);

void write_text_report(const FileSurvey& survey, FILE* out);
