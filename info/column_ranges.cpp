// Column ranges in two passes: a branch-free one over a whole piece that the compiler vectorises, and,
// only for the rare piece that holds a NaN or an infinity, an exact one that sets those values aside.
#include "info/column_ranges.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

ColumnRange::ColumnRange()
    : min(std::numeric_limits<long double>::infinity()), max(-std::numeric_limits<long double>::infinity()) {}

void ColumnRange::merge(const ColumnRange& other) {
  min = std::min(min, other.min);
  max = std::max(max, other.max);
  nan += other.nan;
  infinite += other.infinite;
}

namespace {

// Calls fold(column, value) for every element of a piece that lies in one of the first `ranged` columns.
template <typename T, class Fold>
void for_each_ranged(const T* values, size_t count, size_t column, size_t columns, size_t ranged, Fold fold) {
  size_t i = 0;
  for (; i < count && column != 0; i++, column = column + 1 == columns ? 0 : column + 1)
    if (column < ranged) fold(column, values[i]);
  for (; i + columns <= count; i += columns)
    for (size_t k = 0; k < ranged; k++) fold(k, values[i + k]);
  for (size_t k = 0; i < count; i++, k++)
    if (k < ranged) fold(k, values[i]);
}

// The starting points of a minimum and a maximum, which any value replaces.
template <typename T>
constexpr T min_start() {
  return std::numeric_limits<T>::has_infinity ? std::numeric_limits<T>::infinity() : std::numeric_limits<T>::max();
}
template <typename T>
constexpr T max_start() {
  return std::numeric_limits<T>::has_infinity ? -std::numeric_limits<T>::infinity() : std::numeric_limits<T>::lowest();
}

// Rows whose width divides the number of elements in this many bytes are folded one block of that
// many bytes at a time, each column landing in fixed lanes of a vector. A loop over a few columns is
// too short for the compiler to vectorise; this one is written in its vector extension, which GCC and
// Clang both lower to the machine's own instructions. One baseline x86-64 register: with wider blocks
// the three running vectors no longer fit in registers, and the pass took twice as long.
constexpr size_t BLOCK_BYTES = 16;

// Folds the whole blocks at the start of `values` (which starts a row) into `low`, `high` and `probe`
// and returns how many elements that was.
template <typename T>
size_t fold_blocks(const T* values, size_t count, size_t columns, T* low, T* high, T* probe) {
  typedef T Block __attribute__((vector_size(BLOCK_BYTES)));
  constexpr size_t lanes = BLOCK_BYTES / sizeof(T);
  Block block_low = Block{} + min_start<T>(), block_high = Block{} + max_start<T>(), block_probe = Block{}, v;
  size_t i = 0;
  for (; i + lanes <= count; i += lanes) {
    std::memcpy(&v, values + i, BLOCK_BYTES);
    block_low = v < block_low ? v : block_low;
    block_high = v > block_high ? v : block_high;
    if constexpr (std::is_floating_point_v<T>) block_probe += v - v;
  }
  for (size_t j = 0, k = 0; j < lanes; j++, k = k + 1 == columns ? 0 : k + 1) {
    low[k] = block_low[j] < low[k] ? block_low[j] : low[k];
    high[k] = block_high[j] > high[k] ? block_high[j] : high[k];
    probe[k] += block_probe[j];
  }
  return i;
}

// Rows up to this wide keep their running minima and maxima on the stack.
constexpr size_t SMALL_ROW = 64;

}  // namespace

template <typename T>
void gather_columns(const T* values, size_t count, size_t column, size_t columns, size_t max_ranged,
                    std::vector<ColumnRange>& ranges) {
  const size_t ranged = std::min({columns, max_ranged, MAX_RANGED_COLUMNS});
  if (count == 0 || ranged == 0) return;
  const size_t reached = count >= columns - column ? ranged : std::min(ranged, column + count);
  if (ranges.size() < reached) ranges.resize(reached);

  // Running minimum, maximum and finiteness probe of each ranged column, one after the other.
  T small[3 * SMALL_ROW];
  static std::vector<T> large;
  if (ranged > SMALL_ROW) large.resize(3 * ranged);
  T* __restrict low = ranged > SMALL_ROW ? large.data() : small;
  T* __restrict high = low + ranged;
  T* __restrict probe = high + ranged;
  std::fill(low, high, min_start<T>());
  std::fill(high, probe, max_start<T>());
  std::fill(probe, probe + ranged, T(0));
  size_t folded = 0;
  // Blocks fold every column of their rows, so only rows whose columns are all ranged go that way.
  if (column == 0 && ranged == columns && (BLOCK_BYTES / sizeof(T)) % columns == 0)
    folded = fold_blocks(values, count, columns, low, high, probe);
  for_each_ranged(values + folded, count - folded, column, columns, ranged, [&](size_t k, T v) {
    low[k] = v < low[k] ? v : low[k];
    high[k] = v > high[k] ? v : high[k];
    // v - v is 0 for a finite value and NaN for NaN or an infinity, and NaN stays in the sum.
    if constexpr (std::is_floating_point_v<T>) probe[k] += v - v;
  });

  bool all_finite = true;
  for (size_t k = 0; k < reached; k++) all_finite = all_finite && probe[k] == T(0);
  if (all_finite) {
    for (size_t k = 0; k < reached; k++) {
      ranges[k].min = std::min(ranges[k].min, static_cast<long double>(low[k]));
      ranges[k].max = std::max(ranges[k].max, static_cast<long double>(high[k]));
    }
    return;
  }
  for_each_ranged(values, count, column, columns, ranged, [&](size_t k, T v) {
    if (std::isnan(v)) {
      ranges[k].nan++;
    } else if (std::isinf(v)) {
      ranges[k].infinite++;
    } else {
      ranges[k].min = std::min(ranges[k].min, static_cast<long double>(v));
      ranges[k].max = std::max(ranges[k].max, static_cast<long double>(v));
    }
  });
}

template void gather_columns(const float*, size_t, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const double*, size_t, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const int8_t*, size_t, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const int16_t*, size_t, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const int32_t*, size_t, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const int64_t*, size_t, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const uint8_t*, size_t, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const uint16_t*, size_t, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const uint32_t*, size_t, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const uint64_t*, size_t, size_t, size_t, size_t, std::vector<ColumnRange>&);
