// Measures the heap that loading small hostile SDIF files takes: headers that claim huge or
// impossible matrices must cost a few kilobytes, whatever they claim. Run by hand: hostile-memory.
#include <malloc.h>
#include <sys/mman.h>

#include <cstdio>
#include <string>

#include "sdif/sdif_document.h"
#include "tools/hostile_headers.h"

extern "C" {
void* __real_malloc(size_t size);
void __real_free(void* block);
void* __real_mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset);
int __real_munmap(void* address, size_t length);
}

namespace {

// Memory held by the loader's own allocations (the record store maps its slabs and mallocs large
// blocks); the C library's stream buffer is allocated inside the C library and not counted.
size_t outstanding = 0;
size_t peak = 0;
size_t largest = 0;

}  // namespace

extern "C" void* __wrap_malloc(size_t size) {
  void* block = __real_malloc(size);
  if (block) {
    outstanding += malloc_usable_size(block);
    if (outstanding > peak) peak = outstanding;
    if (size > largest) largest = size;
  }
  return block;
}

extern "C" void __wrap_free(void* block) {
  if (block) outstanding -= malloc_usable_size(block);
  __real_free(block);
}

extern "C" void* __wrap_mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset) {
  void* block = __real_mmap(address, length, protection, flags, fd, offset);
  if (block != MAP_FAILED) {
    outstanding += length;
    if (outstanding > peak) peak = outstanding;
    if (length > largest) largest = length;
  }
  return block;
}

extern "C" int __wrap_munmap(void* address, size_t length) {
  outstanding -= length;
  return __real_munmap(address, length);
}

int main() {
  std::string path = "/tmp/sdif-hostile-memory.sdif";
  std::printf("| hostile header | file bytes | result | frames | peak bytes | largest request |\n");
  std::printf("|---|---|---|---|---|---|\n");
  size_t worst = 0;
  for (const HostileFile& h : hostile_files()) {
    if (!h.file.save(path)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    outstanding = peak = largest = 0;
    SdifResult result;
    int frames = 0;
    {
      SdifFile file(path.c_str(), 0);
      file.read_all_frames();
      result = file.result;
      for (SdifFrame* f = file.frames; f; f = f->next) frames++;
    }
    if (peak > worst) worst = peak;
    std::printf("| %s | %zu | %d | %d | %zu | %zu |\n", h.name, h.file.size(), result, frames, peak, largest);
  }
  std::remove(path.c_str());
  std::printf("\nworst peak: %zu bytes (goal: a few kilobytes)\n", worst);
  return 0;
}
