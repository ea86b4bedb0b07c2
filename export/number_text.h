// Element values as sdif-export writes them: the shortest text that reads back as the same value of
// the element's own type (std::to_chars), integers in full, and what is no finite number in each
// format's own words. Inline, since it runs once for every element of a file.
#pragma once

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <type_traits>

// What no finite number is, and negative zero, which a JSON reader takes for the integer 0 unless it
// has a fraction.
struct NonFiniteWords {
  std::string_view nan, infinity, minus_infinity, minus_zero;
};

// What numpy and pandas read back from CSV and TSV.
constexpr NonFiniteWords PLAIN_WORDS = {"nan", "inf", "-inf", "-0"};
// JSON has no numbers for the first three: sdif-info's strings.
constexpr NonFiniteWords JSON_WORDS = {"\"NaN\"", "\"Infinity\"", "\"-Infinity\"", "-0.0"};

// The longest text of any number: a double in scientific form takes 24 characters.
constexpr size_t MAX_NUMBER_CHARS = 32;

// Writes `value` at `at`, which has room for MAX_NUMBER_CHARS, and returns the end.
template <typename T>
char* put_number(char* at, T value, const NonFiniteWords& words) {
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(value) || (value == 0 && std::signbit(value))) {
      std::string_view word = std::isnan(value) ? words.nan
                              : value == 0      ? words.minus_zero
                              : value > 0       ? words.infinity
                                                : words.minus_infinity;
      std::memcpy(at, word.data(), word.size());
      return at + word.size();
    }
  }
  return std::to_chars(at, at + MAX_NUMBER_CHARS, value).ptr;
}
