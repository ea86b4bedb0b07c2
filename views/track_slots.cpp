// Reading a frame's partials into slots, and the frame-keyed cache of them. Used by TrackView.
#include "views/track_slots.h"

#include "views/panel_table.h"

void TrackSlots::read(const SdifFrame& frame) {
  count = 0;
  const SdifMatrix* matrix = panel_matrix(panel_spec(VIEW_TRACKS), frame);
  if (!matrix || matrix->columns < 3) return;
  std::array<bool, SLOTS> seen{};
  matrix->with_elements([&](auto elements) {
    for (int row = 0; row < matrix->rows; ++row) {
      int32_t index = -1;
      elements.as_int(0, row, index);
      if (index < 0 || index >= SLOTS) continue;
      // A later row with the same index overwrites the slot.
      frequencies[index] = elements.as_float(1, row);
      amplitudes[index] = elements.as_double(2, row);
      if (!seen[index]) filled[count++] = uint8_t(index);
      seen[index] = true;
    }
  });
}

const TrackSlots& TrackSlotCache::of(const SdifFrame& frame) {
  for (int i = 0; i < ENTRIES; ++i)
    if (frames[i] == &frame) return slots[last_used = i];
  // With two entries, the one not returned last is the one to replace.
  int victim = (last_used + 1) % ENTRIES;
  slots[victim].read(frame);
  frames[victim] = &frame;
  last_used = victim;
  return slots[victim];
}
