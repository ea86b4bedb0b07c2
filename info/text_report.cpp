// Writes the report for people. Labels sit in a column of their own so the values line up.
#include "info/text_report.h"

#include <algorithm>
#include <string>

#include "info/value_text.h"

namespace {

// Labels and their indent take this many characters; the values start one further.
constexpr int LABEL_WIDTH = 16;
constexpr const char* VIEWER_ERROR = "the viewer reports 'Error reading file'";

void line(FILE* out, int indent, const std::string& label, const std::string& value) {
  std::fprintf(out, "%*s%-*s %s\n", indent, "", LABEL_WIDTH - indent, label.c_str(), value.c_str());
}

std::string plural(uint64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string span(int64_t low, int64_t high) {
  return low == high ? std::to_string(low) : std::to_string(low) + " to " + std::to_string(high);
}

std::string stream_name(int32_t id, const std::vector<TypeCode>& types) {
  std::string name = "stream " + std::to_string(id);
  for (size_t i = 0; i < types.size(); i++) name += (i == 0 ? " (" : ", ") + type_text(types[i].data());
  return types.empty() ? name : name + ")";
}

std::string order_text(const StreamSurvey& s) {
  std::string text;
  if (s.steps_back == 0 && s.nan_times == 0) text = "times never decrease";
  else text = plural(s.steps_back, "step", "steps") + " back";
  if (s.repeated_times) text += ", " + plural(s.repeated_times, "time repeats", "times repeat");
  if (s.nan_times) text += ", " + plural(s.nan_times, "time is", "times are") + " NaN";
  return text;
}

void write_matrix_type(FILE* out, const MatrixTypeSurvey& t) {
  const MatrixSummary& m = t.whole;
  line(out, 4, type_text(t.type.data()),
       data_type_name(t.data_type) + ", " + plural(m.count, "matrix", "matrices") + ", rows " +
           span(m.min_rows, m.max_rows) + ", columns " + span(m.min_columns, m.max_columns));
  for (size_t k = 0; k < m.columns.size(); k++) {
    const ColumnRange& c = m.columns[k];
    std::string value = c.has_values() ? "min " + element_text(c.min, t.data_type) + ", max " +
                                             element_text(c.max, t.data_type)
                                       : "no finite values";
    if (c.nan) value += ", " + std::to_string(c.nan) + " NaN";
    if (c.infinite) value += ", " + std::to_string(c.infinite) + " infinite";
    line(out, 6, "column " + std::to_string(k), value);
  }
  if (SDIF_IsNumeric(t.data_type) && size_t(m.max_columns) > m.columns.size())
    line(out, 6, "", "columns from " + std::to_string(m.columns.size()) + " on: no ranges kept");
}

void write_stream(FILE* out, const StreamSurvey& s) {
  std::string types;
  for (const TypeCode& type : s.frame_types) types += (types.empty() ? "" : ", ") + type_text(type.data());
  line(out, 2, "stream " + std::to_string(s.id), types + " frames");
  line(out, 4, "frames", std::to_string(s.frames));
  line(out, 4, "time", number_text(s.first_time) + " s to " + number_text(s.last_time) + " s, duration " +
                           number_text(s.last_time - s.first_time) + " s");
  line(out, 4, "order", order_text(s));
  line(out, 4, "matrices", span(s.min_matrices, s.max_matrices) + " per frame");
  if (s.has_tracks)
    line(out, 4, "track index", s.largest_track_index ? "largest " + std::to_string(*s.largest_track_index) : "none");
  if (s.bins) line(out, 4, "bins", std::to_string(*s.bins));
  for (const MatrixTypeSurvey& t : s.matrix_types) write_matrix_type(out, t);
  if (s.unsurveyed_matrices) line(out, 4, "", std::to_string(s.unsurveyed_matrices) + " matrices of further types");
}

void write_viewer(FILE* out, const FileSurvey& survey) {
  if (survey.outcome == ReadOutcome::Damaged || survey.outcome == ReadOutcome::Unreadable) {
    line(out, 2, "viewer", "reports 'Error reading file'");
    return;
  }
  if (!survey.viewer_opens()) {
    line(out, 2, "viewer", "reports 'File does not contain any supported matrix types.'");
    return;
  }
  line(out, 2, "viewer", "opens its window");
  std::vector<int32_t> shown;
  for (int p = 0; p < PANEL_COUNT; p++) {
    if (!survey.has_panel[p]) continue;
    line(out, 4, PANELS[p].title, "stream " + std::to_string(survey.panel_stream[p]));
    shown.push_back(survey.panel_stream[p]);
  }
  std::string left_out;
  for (const StreamSurvey& s : survey.streams)
    if (std::find(shown.begin(), shown.end(), s.id) == shown.end())
      left_out += (left_out.empty() ? "" : ", ") + stream_name(s.id, s.frame_types);
  if (!left_out.empty()) line(out, 4, "left out", left_out);
}

}  // namespace

std::string outcome_text(const FileSurvey& survey) {
  switch (survey.outcome) {
    case ReadOutcome::Complete: return "complete";
    case ReadOutcome::Cut:
      return "cut inside frame " + std::to_string(survey.frames) + " (byte " + std::to_string(survey.failure_offset) +
             "): the viewer opens it without that frame";
    case ReadOutcome::Damaged:
      return "damaged at byte " + std::to_string(survey.failure_offset) + ": " + survey.reason + ": " + VIEWER_ERROR;
    case ReadOutcome::Unreadable: return "unreadable: " + survey.reason + ": " + VIEWER_ERROR;
  }
  return "";
}

void write_text_report(const FileSurvey& survey, FILE* out) {
  std::fprintf(out, "%s\n", survey.path.c_str());
  if (survey.file_size >= 0) line(out, 2, "size", plural(uint64_t(survey.file_size), "byte", "bytes"));
  if (survey.header_valid) {
    const SdifFileHeader& h = survey.header;
    line(out, 2, "header", type_text(h.magic) + ", header size " + std::to_string(h.header_size) +
                               ", specification version " + std::to_string(h.spec_version) + ", types version " +
                               std::to_string(h.types_version));
  }
  line(out, 2, "read", outcome_text(survey));
  if (survey.outcome != ReadOutcome::Unreadable) line(out, 2, "frames", std::to_string(survey.frames) + " whole");
  for (const StreamSurvey& s : survey.streams) write_stream(out, s);
  if (survey.unsurveyed_frames)
    line(out, 2, "", std::to_string(survey.unsurveyed_frames) + " frames of further streams");
  write_viewer(out, survey);
}
