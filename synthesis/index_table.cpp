// Open addressing with linear probing in a table at most half full. Erasing shifts the entries that
// follow back towards their home cells, so a table that sees billions of erasures probes no further
// than one that has seen none.
#include "synthesis/index_table.h"

namespace {

// 2^32 divided by the golden ratio: multiplying by it spreads neighbouring indices over the table.
constexpr uint32_t FIBONACCI_MULTIPLIER = 2654435769u;

}  // namespace

IndexTable::IndexTable(int capacity) {
  int bits = 1;
  while ((1 << bits) < 2 * capacity) bits++;
  cells.assign(size_t(1) << bits, Cell{0, EMPTY});
  mask = cells.size() - 1;
  shift = 32 - bits;
}

size_t IndexTable::home(int32_t index) const { return (uint32_t(index) * FIBONACCI_MULTIPLIER) >> shift; }

size_t IndexTable::cell_of(int32_t index) const {
  size_t i = home(index);
  while (cells[i].position != EMPTY && cells[i].index != index) i = (i + 1) & mask;
  return i;
}

int IndexTable::find(int32_t index) const { return cells[cell_of(index)].position; }

void IndexTable::put(int32_t index, int position) { cells[cell_of(index)] = {index, position}; }

void IndexTable::erase(int32_t index) {
  size_t gap = cell_of(index);
  if (cells[gap].position == EMPTY) return;
  cells[gap].position = EMPTY;
  for (size_t next = (gap + 1) & mask; cells[next].position != EMPTY; next = (next + 1) & mask) {
    // An entry may fill the gap unless its home lies after the gap, up to where it sits.
    size_t from_home = (next - home(cells[next].index)) & mask;
    size_t from_gap = (next - gap) & mask;
    if (from_home < from_gap) continue;
    cells[gap] = cells[next];
    cells[next].position = EMPTY;
    gap = next;
  }
}
