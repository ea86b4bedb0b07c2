// The members before the rows.
#include "export/jsonl_format.h"

#include "export/column_names.h"
#include "info/json_report.h"
#include "info/value_text.h"

bool JsonlFormat::begin(const SdifFrameHeader& frame, const SdifMatrixHeader& matrix) {
  columns = matrix.columns;
  row = column = 0;
  char time[MAX_NUMBER_CHARS];
  out.append("{\"time\":" + std::string(time, put_number(time, frame.time, JSON_WORDS)));
  out.append(",\"stream\":" + std::to_string(frame.stream_id));
  out.append(",\"frame\":" + json_text(type_text(frame.type)));
  out.append(",\"matrix\":" + json_text(type_text(matrix.type)));
  out.append(",\"data_type\":" + json_text(data_type_name(matrix.data_type)));
  // Column names are plain ASCII words, written one by one: a matrix may have millions. One without
  // rows gets none, since its column count, which no data backs, could be anything.
  out.append(",\"columns\":[");
  for (int32_t k = 0; matrix.rows > 0 && k < columns; k++)
    out.append((k ? ",\"" : "\"") + column_name(matrix.type, k) + "\"");
  out.append("],\"rows\":[");
  return true;
}

void JsonlFormat::end() { out.append("]}\n"); }
