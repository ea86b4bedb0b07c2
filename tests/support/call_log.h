// Records the memory the loader allocates, through the linker's --wrap of malloc and mmap. Used by the
// hostile-input tests only.
#pragma once

#include <cstddef>

struct CallLog {
  size_t largest_allocation = 0;
  size_t total_allocated = 0;  // by malloc and mmap together
};

// Starts a fresh log; allocations are recorded until stop_recording().
void start_recording();
CallLog stop_recording();
