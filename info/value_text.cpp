// Value formatting for sdif-info's reports.
#include "info/value_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "sdif/sdif_data_type.h"

namespace {

template <typename T>
std::string shortest(T value) {
  char text[64];
  auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

}  // namespace

std::string type_text(const char* bytes) {
  std::string text;
  for (int i = 0; i < 4; i++) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\\') {
      text += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      text += char(c);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      text += escaped;
    }
  }
  return text;
}

std::string data_type_name(int32_t data_type) {
  if (const char* name = SDIF_DataTypeName(data_type)) return name;
  char code[16];
  std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(data_type));
  return code;
}

std::string number_text(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  return shortest(value);
}

std::string element_text(long double value, int32_t data_type) {
  SdifKind kind = SDIF_DataKind(data_type);
  if (kind == SdifKind::Unsigned) return std::to_string(static_cast<uint64_t>(value));
  if (kind == SdifKind::Signed) return std::to_string(static_cast<int64_t>(value));
  if (data_type == SdifDataType::Float32 && std::isfinite(value)) return shortest(static_cast<float>(value));
  return number_text(static_cast<double>(value));
}
