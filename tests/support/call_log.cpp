// The --wrap targets: each records its call while recording is on, then calls the real function.
// The log's own allocations go through libstdc++, which the wrap does not see.
#include "tests/support/call_log.h"

#include <sys/types.h>

#include <cstdio>

extern "C" {
size_t __real_fread(void* ptr, size_t size, size_t count, FILE* stream);
size_t __real_fwrite(const void* ptr, size_t size, size_t count, FILE* stream);
void* __real_malloc(size_t size);
void* __real_mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset);
}

namespace {
bool recording = false;
CallLog log;
}  // namespace

void start_recording() {
  log = CallLog();
  log.freads.reserve(64);
  log.fwrites.reserve(64);
  recording = true;
}

const CallLog& stop_recording() {
  recording = false;
  return log;
}

extern "C" size_t __wrap_fread(void* ptr, size_t size, size_t count, FILE* stream) {
  if (recording) log.freads.push_back({size, count});
  return __real_fread(ptr, size, count, stream);
}

extern "C" size_t __wrap_fwrite(const void* ptr, size_t size, size_t count, FILE* stream) {
  if (recording) log.fwrites.push_back({size, count});
  return __real_fwrite(ptr, size, count, stream);
}

extern "C" void* __wrap_malloc(size_t size) {
  if (recording) {
    log.total_allocated += size;
    if (size > log.largest_allocation) log.largest_allocation = size;
  }
  return __real_malloc(size);
}

extern "C" void* __wrap_mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset) {
  if (recording) {
    log.total_allocated += length;
    if (length > log.largest_allocation) log.largest_allocation = length;
  }
  return __real_mmap(address, length, protection, flags, fd, offset);
}
