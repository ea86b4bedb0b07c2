// Column ranges in two passes: a branch-free one over a whole piece that the compiler vectorises, and,
// only for the rare piece that holds a NaN or an infinity, an exact one that sets those values aside.
#include "info/column_ranges.h"

#include <algorithm>
#include <cmath>
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

template <typename T>
struct Scratch {
  std::vector<T> low, high, probe;
};

}  // namespace

template <typename T>
void gather_columns(const T* values, size_t count, size_t column, size_t columns, std::vector<ColumnRange>& ranges) {
  if (count == 0 || columns == 0) return;
  const size_t ranged = std::min(columns, MAX_RANGED_COLUMNS);
  const size_t reached = count >= columns - column ? ranged : std::min(ranged, column + count);
  if (ranges.size() < reached) ranges.resize(reached);

  static thread_local Scratch<T> scratch;
  scratch.low.assign(ranged, std::numeric_limits<T>::has_infinity ? std::numeric_limits<T>::infinity()
                                                                   : std::numeric_limits<T>::max());
  scratch.high.assign(ranged, std::numeric_limits<T>::has_infinity ? -std::numeric_limits<T>::infinity()
                                                                    : std::numeric_limits<T>::lowest());
  scratch.probe.assign(ranged, T(0));
  T* __restrict low = scratch.low.data();
  T* __restrict high = scratch.high.data();
  T* __restrict probe = scratch.probe.data();
  for_each_ranged(values, count, column, columns, ranged, [&](size_t k, T v) {
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

template void gather_columns(const float*, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const double*, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const int8_t*, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const int16_t*, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const int32_t*, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const int64_t*, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const uint8_t*, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const uint16_t*, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const uint32_t*, size_t, size_t, size_t, std::vector<ColumnRange>&);
template void gather_columns(const uint64_t*, size_t, size_t, size_t, std::vector<ColumnRange>&);
