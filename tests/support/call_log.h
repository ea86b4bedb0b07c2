// Records the C library calls that the byte layer and the loader make, through the linker's
// --wrap of fread, fwrite and malloc. Used by the transfer and allocation tests only.
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
  size_t largest_malloc = 0;
  size_t total_malloc = 0;
};

// Starts a fresh log; calls are recorded until stop_recording().
void start_recording();
const CallLog& stop_recording();
