// The header line and the start and end of each spectrum's line.
#include "export/wide_format.h"

#include <cstring>

bool WideFormat::begin(const SdifFrameHeader& frame, const SdifMatrixHeader& matrix) {
  if (shape(matrix) < 0 || (has_bins && matrix.rows != bins)) return false;
  if (!has_bins) {
    has_bins = true;
    bins = matrix.rows;
    if (header) {
      out.append("time");
      for (int32_t bin = 0; bin < bins; bin++) out.append(syntax.separator + ("bin" + std::to_string(bin)));
      out.append(syntax.end);
    }
  }
  columns = matrix.columns;
  real_part_read = false;
  out.append(syntax.start);
  char* at = out.room(MAX_ROOM);
  out.advance(put_number(at, frame.time, syntax.words));
  return true;
}

void WideFormat::end() { out.append(syntax.end); }
