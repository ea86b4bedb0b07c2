// Builds the JSON object of one file's survey.
#include "info/json_report.h"

#include <algorithm>
#include <cmath>

#include "info/text_report.h"
#include "info/value_text.h"

using nlohmann::json;

namespace {

const char* outcome_name(ReadOutcome outcome) {
  switch (outcome) {
    case ReadOutcome::Complete: return "complete";
    case ReadOutcome::Cut: return "cut";
    case ReadOutcome::Damaged: return "damaged";
    case ReadOutcome::Unreadable: return "unreadable";
  }
  return "";
}

json element_json(long double value, int32_t data_type) {
  SdifKind kind = SDIF_DataKind(data_type);
  if (kind == SdifKind::Unsigned) return static_cast<uint64_t>(value);
  if (kind == SdifKind::Signed) return static_cast<int64_t>(value);
  return json_number(static_cast<double>(value));
}

json span_json(int64_t low, int64_t high) { return {{"min", low}, {"max", high}}; }

json matrix_type_json(const MatrixTypeSurvey& t) {
  const MatrixSummary& m = t.whole;
  json ranges = json::array();
  for (const ColumnRange& c : m.columns) {
    json range = {{"nan", c.nan}, {"infinite", c.infinite}};
    range["min"] = c.has_values() ? element_json(c.min, t.data_type) : json(nullptr);
    range["max"] = c.has_values() ? element_json(c.max, t.data_type) : json(nullptr);
    ranges.push_back(range);
  }
  return {{"type", type_text(t.type.data())},
          {"data_type", t.data_type},
          {"data_type_name", data_type_name(t.data_type)},
          {"count", m.count},
          {"rows", span_json(m.min_rows, m.max_rows)},
          {"columns", span_json(m.min_columns, m.max_columns)},
          {"column_ranges", ranges}};
}

void write_stream(const StreamSurvey& s, FILE* out) {
  json types = json::array();
  for (const TypeCode& type : s.frame_types) types.push_back(type_text(type.data()));
  ObjectWriter stream(out);
  stream.member("bin_count", s.bins ? json(*s.bins) : json(nullptr));
  stream.member("duration", json_number(s.last_time - s.first_time));
  stream.member("first_time", json_number(s.first_time));
  stream.member("frame_types", types);
  stream.member("frames", s.frames);
  stream.member("largest_track_index", s.largest_track_index ? json(*s.largest_track_index) : json(nullptr));
  stream.member("last_time", json_number(s.last_time));
  stream.member("matrices_per_frame", span_json(s.min_matrices, s.max_matrices));
  stream.name("matrix_types");
  std::fputc('[', out);
  for (const MatrixTypeSurvey& t : s.matrix_types)
    std::fprintf(out, "%s%s", &t == &s.matrix_types.front() ? "" : ",", json_text(matrix_type_json(t)).c_str());
  std::fputc(']', out);
  stream.member("nan_times", s.nan_times);
  stream.member("repeated_times", s.repeated_times);
  stream.member("steps_back", s.steps_back);
  stream.member("stream_id", s.id);
  stream.member("times_never_decrease", s.steps_back == 0 && s.nan_times == 0);
  stream.member("unsurveyed_matrices", s.unsurveyed_matrices);
  stream.close();
}

json viewer_json(const FileSurvey& survey) {
  json viewer;
  bool readable = survey.outcome == ReadOutcome::Complete || survey.outcome == ReadOutcome::Cut;
  viewer["opens"] = survey.viewer_opens();
  viewer["message"] = !readable ? json("Error reading file")
                      : survey.viewer_opens() ? json(nullptr)
                                              : json("File does not contain any supported matrix types.");
  json panels = json::object();
  std::vector<int32_t> shown;
  for (int p = 0; p < PANEL_COUNT; p++) {
    bool shows = readable && survey.has_panel[p];
    panels[PANELS[p].title] = shows ? json(survey.panel_stream[p]) : json(nullptr);
    if (shows) shown.push_back(survey.panel_stream[p]);
  }
  viewer["panels"] = panels;
  json left_out = json::array();
  for (const StreamSurvey& s : survey.streams)
    if (readable && std::find(shown.begin(), shown.end(), s.id) == shown.end()) left_out.push_back(s.id);
  viewer["left_out"] = left_out;
  return viewer;
}

}  // namespace

ObjectWriter::ObjectWriter(FILE* out) : out(out) { std::fputc('{', out); }

void ObjectWriter::member(const char* key, const json& value) {
  name(key);
  std::fputs(json_text(value).c_str(), out);
}

void ObjectWriter::name(const char* key) {
  std::fprintf(out, "%s%s:", first ? "" : ",", json_text(key).c_str());
  first = false;
}

void ObjectWriter::close() { std::fputc('}', out); }

json json_number(double value) {
  if (std::isfinite(value)) return value;
  return number_text(value);
}

std::string json_text(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }

void write_json_report(const FileSurvey& survey, FILE* out) {
  ObjectWriter report(out);
  bool failed = survey.outcome != ReadOutcome::Complete;
  report.member("cut_frame", survey.outcome == ReadOutcome::Cut ? json(survey.frames) : json(nullptr));
  report.member("error", survey.reason.empty() ? json(nullptr) : json(survey.reason));
  report.member("file", survey.path);
  report.member("frames", survey.frames);
  json header = nullptr;
  if (survey.header_valid) {
    const SdifFileHeader& h = survey.header;
    header = {{"magic", type_text(h.magic)},
              {"header_size", h.header_size},
              {"spec_version", h.spec_version},
              {"types_version", h.types_version}};
  }
  report.member("header", header);
  report.member("offset", failed && survey.outcome != ReadOutcome::Unreadable ? json(survey.failure_offset)
                                                                              : json(nullptr));
  report.member("outcome", outcome_name(survey.outcome));
  report.member("outcome_text", outcome_text(survey));
  report.member("size", survey.file_size >= 0 ? json(survey.file_size) : json(nullptr));
  report.name("streams");
  std::fputc('[', out);
  for (const StreamSurvey& s : survey.streams) {
    if (&s != &survey.streams.front()) std::fputc(',', out);
    write_stream(s, out);
  }
  std::fputc(']', out);
  report.member("unsurveyed_frames", survey.unsurveyed_frames);
  report.member("viewer", viewer_json(survey));
  report.close();
  std::fputc('\n', out);
}
