// Records the C library calls that the byte layer and the loader make, through the linker's
// --wrap of fread, fwrite, malloc and mmap. Used by the transfer and allocation tests only.
#pragma once

#include <cstddef>
#include <vector>

struct ElementCall {
  size_t size;
  size_t count;
};

struct CallLog {
  std::vector<ElementCall> freads;
  std::vector<ElementCall> fwrites;
  size_t largest_allocation = 0;
  size_t total_allocated = 0;  // by malloc and mmap together
};

// Starts a fresh log; calls are recorded until stop_recording().
void start_recording();
const CallLog& stop_recording();
