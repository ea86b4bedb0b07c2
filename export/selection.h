// What sdif-export takes from a file: frames by stream ID, frame type and time, matrices by type. The
// run asks it of each header as it streams past, so nothing is gathered first.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "sdif/sdif_format.h"

using TypeBytes = std::array<char, 4>;

struct Selection {
  std::optional<int32_t> stream;
  std::optional<TypeBytes> frame_type;
  std::optional<TypeBytes> matrix_type;
  // Seconds, both ends included; a frame whose time is NaN is outside any range given.
  std::optional<double> start, end;

  bool takes(const SdifFrameHeader& frame) const;
  bool takes(const SdifMatrixHeader& matrix) const;
};

// The 4 bytes of a type written as sdif-info writes it (printable ASCII as it is, "\\" for a
// backslash, "\xNN" for any byte), so a type it reports can be given as it is shown. False for any
// text that is not 4 bytes so written.
bool parse_type_text(const std::string& text, TypeBytes& type);
