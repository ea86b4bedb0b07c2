// CSV and TSV rows: one line per matrix row with the columns time, stream, frame, matrix and row, then
// the matrix's own, named by their type. The first matrix sets the columns and writes the header
// line; a matrix whose columns are others (another width, or the same width under other names) does
// not fit, and the run stops writing.
#pragma once

#include <cstdint>
#include <string>

#include "export/held_text.h"
#include "export/line_syntax.h"
#include "export/selection.h"

class TableFormat {
 public:
  TableFormat(HeldText& out, const LineSyntax& syntax) : out(out), syntax(syntax) {}

  // False when the matrix does not fit the columns; nothing is written then.
  bool begin(const SdifFrameHeader& frame, const SdifMatrixHeader& matrix);
  // The matrix's elements in file order, in as many calls as it takes. Matrices without values (no
  // rows or no columns) never come: they would give no line.
  template <typename T>
  void values(const T* values, size_t count);
  void end() {}

  // What tells the matrices that fit apart from those that do not, and its words, for the message
  // that lists them.
  static int64_t shape(const SdifMatrixHeader& matrix) { return matrix.columns; }
  static std::string shape_text(int64_t shape) { return std::to_string(shape) + (shape == 1 ? " column" : " columns"); }
  static constexpr const char* MISFIT = "CSV and TSV take matrices of one width and one set of column names";
  static constexpr bool TAKES_EMPTY = false;
  static constexpr const char* HINT = "choose one type with --matrix TYPE, or use --format jsonl";

 private:
  char* put_row_start(char* at) const;

  HeldText& out;
  const LineSyntax& syntax;
  bool has_columns = false;
  TypeBytes first_type = {};
  int32_t width = 0;
  // The current matrix: its time, stream, frame and matrix fields and the separators after them.
  std::string row_start;
  int32_t columns = 0, row = 0, column = 0;
};

template <typename T>
void TableFormat::values(const T* values, size_t count) {
  for (size_t i = 0; i < count; i++) {
    char* at = out.room(MAX_ROOM);
    if (column == 0) at = put_row_start(at);
    *at++ = syntax.separator;
    at = put_number(at, values[i], syntax.words);
    if (++column == columns) {
      std::memcpy(at, syntax.end.data(), syntax.end.size());
      at += syntax.end.size();
      column = 0;
      row++;
    }
    out.advance(at);
  }
}
