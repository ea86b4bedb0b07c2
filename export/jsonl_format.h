// JSON lines: one object per matrix, on one line, with the frame's time, stream ID and type, the
// matrix's type, data type and column names, and its rows as arrays of numbers. A matrix without values
// has an object too, with no rows, and no column names when it has no rows. Every matrix fits.
// Numbers are written as CSV writes them; NaN and the infinities, which JSON has no numbers for, as
// sdif-info writes them ("NaN", "Infinity", "-Infinity"). Text goes through the JSON library.
#pragma once

#include <cstdint>
#include <string>

#include "export/held_text.h"
#include "export/number_text.h"
#include "sdif/sdif_format.h"

class JsonlFormat {
 public:
  explicit JsonlFormat(HeldText& out) : out(out) {}

  bool begin(const SdifFrameHeader& frame, const SdifMatrixHeader& matrix);
  template <typename T>
  void values(const T* values, size_t count);
  void end();

  static int64_t shape(const SdifMatrixHeader&) { return 0; }
  static std::string shape_text(int64_t) { return ""; }
  static constexpr const char* MISFIT = "";
  static constexpr bool TAKES_EMPTY = true;
  static constexpr const char* HINT = "";

 private:
  HeldText& out;
  int32_t columns = 0, row = 0, column = 0;
};

template <typename T>
void JsonlFormat::values(const T* values, size_t count) {
  for (size_t i = 0; i < count; i++) {
    char* at = out.room(MAX_ROOM);
    if (column == 0) {
      if (row > 0) *at++ = ',';
      *at++ = '[';
    } else {
      *at++ = ',';
    }
    at = put_number(at, values[i], JSON_WORDS);
    if (++column == columns) {
      *at++ = ']';
      column = 0;
      row++;
    }
    out.advance(at);
  }
}
