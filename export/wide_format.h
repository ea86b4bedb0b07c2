// --wide: one line per spectrum, its frame's time and then the magnitude of each bin, so that the
// lines of a stream read as a matrix (numpy, a spreadsheet). A bin is a row of the matrix: one column
// is a magnitude already, two are a complex value (1STF's real and imaginary parts). The first
// spectrum sets the number of bins; one with another number, or a matrix of other widths, does not
// fit, and the run stops writing. A matrix without values never comes.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <type_traits>

#include "export/held_text.h"
#include "export/line_syntax.h"
#include "sdif/sdif_format.h"

class WideFormat {
 public:
  // `header`: a first line naming the columns (time, bin0, bin1, ...), for CSV and TSV.
  WideFormat(HeldText& out, const LineSyntax& syntax, bool header) : out(out), syntax(syntax), header(header) {}

  bool begin(const SdifFrameHeader& frame, const SdifMatrixHeader& matrix);
  template <typename T>
  void values(const T* values, size_t count);
  void end();

  // The number of bins of a spectrum; for any other matrix, -1 less its number of columns.
  static int64_t shape(const SdifMatrixHeader& matrix) {
    return matrix.columns == 1 || matrix.columns == 2 ? matrix.rows : -1 - int64_t(matrix.columns);
  }
  static std::string shape_text(int64_t shape) {
    return shape >= 0 ? std::to_string(shape) + " bins" : std::to_string(-1 - shape) + " columns";
  }
  static constexpr const char* MISFIT =
      "--wide takes spectra of one number of bins, each bin a row of one or two columns";
  static constexpr bool TAKES_EMPTY = false;
  static constexpr const char* HINT = "choose them with --stream ID or --matrix TYPE";

 private:
  HeldText& out;
  const LineSyntax& syntax;
  bool header;
  bool has_bins = false;
  int32_t bins = 0;
  int32_t columns = 0;
  bool real_part_read = false;
  double real_part = 0;
};

template <typename T>
void WideFormat::values(const T* values, size_t count) {
  // The magnitude of single-precision parts is written in single precision: further digits would show
  // the rounding of the sum of squares, not the data.
  using Magnitude = std::conditional_t<std::is_same_v<T, float>, float, double>;
  for (size_t i = 0; i < count; i++) {
    if (columns == 2 && !real_part_read) {
      real_part = double(values[i]);
      real_part_read = true;
      continue;
    }
    char* at = out.room(MAX_ROOM);
    *at++ = syntax.separator;
    if (columns == 1) {
      at = put_number(at, values[i], syntax.words);
    } else {
      at = put_number(at, Magnitude(std::hypot(real_part, double(values[i]))), syntax.words);
      real_part_read = false;
    }
    out.advance(at);
  }
}
