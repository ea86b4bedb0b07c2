// Value formatting for sdif-info's reports.
#include "info/value_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr int32_t FLOAT32 = 0x0004;
constexpr int32_t TEXT = 0x0301;
constexpr int KIND_FLOAT = 0, KIND_SIGNED = 1, KIND_UNSIGNED = 2;

int kind(int32_t data_type) { return (data_type >> 8) & 0xFF; }
int width(int32_t data_type) { return data_type & 0xFF; }

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

bool is_numeric(int32_t data_type) {
  if (data_type & ~0xFFFF) return false;
  int w = width(data_type);
  switch (kind(data_type)) {
    case KIND_FLOAT: return w == 4 || w == 8;
    case KIND_SIGNED:
    case KIND_UNSIGNED: return w == 1 || w == 2 || w == 4 || w == 8;
    default: return false;
  }
}

bool is_integer(int32_t data_type) { return is_numeric(data_type) && kind(data_type) != KIND_FLOAT; }
bool is_unsigned(int32_t data_type) { return is_numeric(data_type) && kind(data_type) == KIND_UNSIGNED; }

std::string data_type_name(int32_t data_type) {
  if (data_type == TEXT) return "text";
  if (is_numeric(data_type)) {
    const char* names[] = {"float", "int", "uint"};
    return names[kind(data_type)] + std::to_string(8 * width(data_type));
  }
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
  if (is_unsigned(data_type)) return std::to_string(static_cast<uint64_t>(value));
  if (is_integer(data_type)) return std::to_string(static_cast<int64_t>(value));
  if (data_type == FLOAT32 && std::isfinite(value)) return shortest(static_cast<float>(value));
  return number_text(static_cast<double>(value));
}
