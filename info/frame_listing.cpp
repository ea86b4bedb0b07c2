// Writes the frame listing entry by entry. The JSON form writes the brackets and commas that join the
// entries itself, since a frame may hold more matrices than fit in memory; every value inside an
// entry is written by the JSON library.
#include "info/frame_listing.h"

#include "info/json_report.h"
#include "info/value_text.h"

TextFrameListing::TextFrameListing(FILE* out) : out(out) {
  std::fprintf(out, "%10s %14s %24s %11s %-8s %s\n", "frame", "byte", "time", "stream", "type", "matrices");
}

void TextFrameListing::frame(uint64_t index, long long offset, const SdifFrameHeader& header) {
  std::fprintf(out, "%10llu %14lld %24s %11d %-8s %d\n", static_cast<unsigned long long>(index), offset,
               number_text(header.time).c_str(), header.stream_id, type_text(header.type).c_str(),
               header.matrix_count);
}

void TextFrameListing::matrix(const SdifMatrixHeader& header) {
  std::fprintf(out, "%62s %-8s %d rows, %d columns, %s\n", "", type_text(header.type).c_str(), header.rows,
               header.columns, data_type_name(header.data_type).c_str());
}

void TextFrameListing::frame_end() {}

JsonFrameListing::JsonFrameListing(FILE* out) : out(out) {}

void JsonFrameListing::begin() { std::fputs("{\"frame_list\":[", out); }

void JsonFrameListing::frame(uint64_t index, long long offset, const SdifFrameHeader& header) {
  nlohmann::json entry = {{"index", index},
                          {"offset", offset},
                          {"time", json_number(header.time)},
                          {"stream_id", header.stream_id},
                          {"type", type_text(header.type)},
                          {"matrix_count", header.matrix_count}};
  std::string text = json_text(entry);
  text.pop_back();  // the closing brace: the matrices follow inside the entry
  std::fprintf(out, "%s%s,\"matrices\":[", first_frame ? "" : ",", text.c_str());
  first_frame = false;
  first_matrix = true;
}

void JsonFrameListing::matrix(const SdifMatrixHeader& header) {
  nlohmann::json entry = {{"type", type_text(header.type)},
                          {"data_type", header.data_type},
                          {"rows", header.rows},
                          {"columns", header.columns}};
  std::fprintf(out, "%s%s", first_matrix ? "" : ",", json_text(entry).c_str());
  first_matrix = false;
}

void JsonFrameListing::frame_end() { std::fputs("]}", out); }

void JsonFrameListing::end() { std::fputs("],", out); }
