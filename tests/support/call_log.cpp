// The --wrap targets: each records its allocation while recording is on, then calls the real function.
#include "tests/support/call_log.h"

#include <sys/types.h>

namespace {
bool recording = false;
CallLog log;

void record(size_t size) {
  if (!recording) return;
  log.total_allocated += size;
  if (size > log.largest_allocation) log.largest_allocation = size;
}
}  // namespace

extern "C" {
void* __real_malloc(size_t size);
void* __real_mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset);

void* __wrap_malloc(size_t size) {
  record(size);
  return __real_malloc(size);
}

void* __wrap_mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset) {
  record(length);
  return __real_mmap(address, length, protection, flags, fd, offset);
}
}

void start_recording() {
  log = CallLog();
  recording = true;
}

CallLog stop_recording() {
  recording = false;
  return log;
}
