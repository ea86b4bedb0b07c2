// Reading a frame's partials by track index. Used by TrackView.
#include "views/track_slots.h"

#include <algorithm>

#include "views/panel_table.h"

namespace {

size_t table_size_for(size_t entries) {
  size_t size = 16;
  while (size < 2 * entries) size *= 2;
  return size;
}

size_t home(int32_t index, size_t size) { return size_t((uint32_t(index) * 0x9E3779B1u) >> 8) & (size - 1); }

}  // namespace

void PartialReader::read(const SdifFrame& frame, std::vector<Partial>& out) {
  out.clear();
  const SdifMatrix* matrix = panel_matrix(panel_spec(VIEW_TRACKS), frame);
  if (!matrix || matrix->columns < 3) return;
  const int rows = matrix->rows;
  matrix->with_elements([&](auto elements) {
    // Rows in ascending index order, as analysis programs often write them, go straight to the end
    // of the list: no index can repeat among them. The first row out of order starts the table.
    int row = 0;
    for (; row < rows; ++row) {
      int32_t index;
      if (!elements.as_int(0, row, index)) continue;
      if (!out.empty() && index <= out.back().index) break;
      if (out.size() < MOST_PARTIALS) out.push_back({index, elements.as_float(1, row), elements.as_double(2, row)});
    }
    if (row == rows) return;
    size_t size = table_size_for(std::min(size_t(rows), MOST_PARTIALS));
    places.assign(size, -1);
    auto slot_of = [&](int32_t index) {
      size_t i = home(index, size);
      while (places[i] >= 0 && out[size_t(places[i])].index != index) i = (i + 1) & (size - 1);
      return i;
    };
    for (size_t p = 0; p < out.size(); ++p) places[slot_of(out[p].index)] = int32_t(p);
    for (; row < rows; ++row) {
      int32_t index;
      if (!elements.as_int(0, row, index)) continue;
      size_t i = slot_of(index);
      if (places[i] < 0) {
        if (out.size() == MOST_PARTIALS) continue;
        places[i] = int32_t(out.size());
        out.push_back({index, 0.0f, 0.0});
      }
      // A later row with the same index replaces the partial.
      Partial& partial = out[size_t(places[i])];
      partial.frequency = elements.as_float(1, row);
      partial.amplitude = elements.as_double(2, row);
    }
    auto by_index = [](const Partial& a, const Partial& b) { return a.index < b.index; };
    if (!std::is_sorted(out.begin(), out.end(), by_index)) std::sort(out.begin(), out.end(), by_index);
  });
}
