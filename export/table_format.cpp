// The header line, and the fields each row starts with.
#include "export/table_format.h"

#include "export/column_names.h"
#include "info/value_text.h"

bool TableFormat::begin(const SdifFrameHeader& frame, const SdifMatrixHeader& matrix) {
  if (!has_columns) {
    std::memcpy(first_type.data(), matrix.type, first_type.size());
    width = matrix.columns;
    has_columns = true;
    std::string header = "time,stream,frame,matrix,row";
    for (char& c : header)
      if (c == ',') c = syntax.separator;
    out.append(header);
    for (int32_t k = 0; k < width; k++) out.append(syntax.separator + column_name(matrix.type, k));
    out.append(syntax.end);
  } else if (matrix.columns != width || !same_column_names(first_type.data(), matrix.type, width)) {
    return false;
  }
  columns = matrix.columns;
  row = column = 0;
  char time[MAX_NUMBER_CHARS];
  row_start.assign(time, put_number(time, frame.time, syntax.words));
  row_start += syntax.separator + std::to_string(frame.stream_id) + syntax.separator +
               text_field(syntax, type_text(frame.type)) + syntax.separator +
               text_field(syntax, type_text(matrix.type)) + syntax.separator;
  return true;
}

char* TableFormat::put_row_start(char* at) const {
  std::memcpy(at, row_start.data(), row_start.size());
  return std::to_chars(at + row_start.size(), at + MAX_NUMBER_CHARS + row_start.size(), row).ptr;
}
