// What the fuzz targets share: the input, which lives in memory and which the programs open by path
// as they open any file, and the heap a run holds at its peak, for the programs' memory bounds.
#pragma once

#include <sanitizer/allocator_interface.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

// Writes the input into one memory file and returns the path that names it.
inline std::string write_input(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("sdif-fuzz-input", 0);
  if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  return "/proc/self/fd/" + std::to_string(fd);
}

// The most heap held at any moment since peak_heap_from_now(), seen at every allocation once
// watch_heap() has installed the hooks.
inline size_t peak_heap = 0;

inline void watch_heap() {
  __sanitizer_install_malloc_and_free_hooks(
      [](const volatile void*, size_t) { peak_heap = std::max(peak_heap, __sanitizer_get_current_allocated_bytes()); },
      [](const volatile void*) {});
}

// The heap held now, from which a run's growth is measured.
inline size_t peak_heap_from_now() { return peak_heap = __sanitizer_get_current_allocated_bytes(); }
