// Where each track index of a frame pair sits in the partial tracks' arrays: a hash table of fixed
// size, built once, so that frames of millions of rows cost one probe per row and no allocation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class IndexTable {
 public:
  // Room for `capacity` indices at once.
  explicit IndexTable(int capacity);
  // The position of `index`, or -1.
  int find(int32_t index) const;
  // Adds an index that is not in the table, or gives one that is a new position.
  void put(int32_t index, int position);
  void erase(int32_t index);

 private:
  static constexpr int32_t EMPTY = -1;
  struct Cell {
    int32_t index;
    int32_t position;  // EMPTY for a free cell
  };
  size_t home(int32_t index) const;
  size_t cell_of(int32_t index) const;

  std::vector<Cell> cells;
  size_t mask;
  int shift;
};
