// Records the memory the loader allocates, through the linker's --wrap of malloc and mmap, and can
// refuse large allocations. Used by the hostile-input tests only.
#pragma once

#include <cstddef>
#include <cstdint>

struct CallLog {
  size_t largest_allocation = 0;
  size_t total_allocated = 0;  // by malloc and mmap together
};

// Starts a fresh log; allocations are recorded until stop_recording(), and those larger than
// `refused_over` bytes fail meanwhile.
void start_recording(size_t refused_over = SIZE_MAX);
CallLog stop_recording();
