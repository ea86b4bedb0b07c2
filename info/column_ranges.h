// The range of each column of a matrix type's elements (minimum, maximum, NaN and infinite counts),
// gathered one piece of elements at a time as they stream past. Used by the file survey of sdif-info.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ColumnRange {
  // Of the finite values; while there is none, min is above max. A long double holds every value of
  // every element type exactly, 64-bit integers included.
  long double min;
  long double max;
  uint64_t nan = 0;
  uint64_t infinite = 0;

  ColumnRange();
  bool has_values() const { return min <= max; }
  void merge(const ColumnRange& other);
};

// Columns of one matrix type past this many are counted but get no range.
constexpr size_t MAX_RANGED_COLUMNS = 1024;

// Folds `count` elements into `ranges`: the first element lies in column `column` of rows `columns`
// wide, and the rest follow row after row. `ranges` grows to the columns the elements reach, at most
// `max_ranged` (itself at most MAX_RANGED_COLUMNS); the columns past it are left out.
template <typename T>
void gather_columns(const T* values, size_t count, size_t column, size_t columns, size_t max_ranged,
                    std::vector<ColumnRange>& ranges);
