// The selection's tests, and the reading of a type as sdif-info writes it.
#include "export/selection.h"

#include <cctype>
#include <cstdlib>

bool Selection::takes(const SdifFrameHeader& frame) const {
  if (stream && frame.stream_id != *stream) return false;
  if (frame_type && !SDIF_SameType(frame.type, frame_type->data())) return false;
  // Written so that a NaN time fails whichever end is given.
  if (start && !(frame.time >= *start)) return false;
  if (end && !(frame.time <= *end)) return false;
  return true;
}

bool Selection::takes(const SdifMatrixHeader& matrix) const {
  return !matrix_type || SDIF_SameType(matrix.type, matrix_type->data());
}

bool parse_type_text(const std::string& text, TypeBytes& type) {
  size_t at = 0;
  for (char& byte : type) {
    if (at >= text.size()) return false;
    unsigned char c = static_cast<unsigned char>(text[at]);
    if (c < 0x20 || c >= 0x7F) return false;
    if (c != '\\') {
      byte = char(c);
      at += 1;
    } else if (text.compare(at, 2, "\\\\") == 0) {
      byte = '\\';
      at += 2;
    } else if (text.compare(at, 2, "\\x") == 0 && at + 4 <= text.size() &&
               std::isxdigit(static_cast<unsigned char>(text[at + 2])) &&
               std::isxdigit(static_cast<unsigned char>(text[at + 3]))) {
      byte = char(std::strtol(text.substr(at + 2, 2).c_str(), nullptr, 16));
      at += 4;
    } else {
      return false;
    }
  }
  return at == text.size();
}
