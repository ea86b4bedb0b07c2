// The --wrap targets: each records its allocation while recording is on, then calls the real function.
#include "tests/support/call_log.h"

#include <sys/mman.h>
#include <sys/types.h>

namespace {
bool recording = false;
size_t refused_over = SIZE_MAX;
CallLog log;

// False for an allocation that is to fail.
bool record(size_t size) {
  if (!recording) return true;
  log.total_allocated += size;
  if (size > log.largest_allocation) log.largest_allocation = size;
  return size <= refused_over;
}
}  // namespace

extern "C" {
void* __real_malloc(size_t size);
void* __real_mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset);

void* __wrap_malloc(size_t size) {
  return record(size) ? __real_malloc(size) : nullptr;
}

void* __wrap_mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset) {
  return record(length) ? __real_mmap(address, length, protection, flags, fd, offset) : MAP_FAILED;
}
}

void start_recording(size_t refuse_over) {
  log = CallLog();
  refused_over = refuse_over;
  recording = true;
}

CallLog stop_recording() {
  recording = false;
  return log;
}
