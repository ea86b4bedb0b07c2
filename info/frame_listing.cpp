// Writes the frame listing entry by entry. The JSON form writes the brackets and commas of a frame's
// matrix array itself, since a frame may hold more matrices than fit in memory; every value is written
// by the JSON library.
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

// The matrices come between "index" and "matrix_count" in key order, so the header's other members
// wait for the frame's end.
void JsonFrameListing::frame(uint64_t index, long long frame_offset, const SdifFrameHeader& frame_header) {
  offset = frame_offset;
  header = frame_header;
  entry.emplace(out);
  entry->member("index", index);
  entry->name("matrices");
  std::fputc('[', out);
  first_matrix = true;
}

void JsonFrameListing::matrix(const SdifMatrixHeader& matrix_header) {
  nlohmann::json matrix = {{"type", type_text(matrix_header.type)},
                           {"data_type", matrix_header.data_type},
                           {"rows", matrix_header.rows},
                           {"columns", matrix_header.columns}};
  std::fprintf(out, "%s%s", first_matrix ? "" : ",", json_text(matrix).c_str());
  first_matrix = false;
}

void JsonFrameListing::frame_end() {
  std::fputc(']', out);
  entry->member("matrix_count", header.matrix_count);
  entry->member("offset", offset);
  entry->member("stream_id", header.stream_id);
  entry->member("time", json_number(header.time));
  entry->member("type", type_text(header.type));
  entry->close();
  std::fputc('\n', out);
}
