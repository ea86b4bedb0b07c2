// Measures the heap that loading small hostile SDIF files takes: headers that claim huge or
// impossible matrices must cost a few kilobytes, whatever they claim. Run by hand: hostile-memory.
#include <malloc.h>
#include <sys/mman.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sdif/sdif_document.h"
#include "tools/sdif_writer.h"

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

namespace {

struct Hostile {
  const char* name;
  SdifWriter file;
};

// A valid frame, then one frame whose single matrix has the given header and 8 data bytes.
SdifWriter claiming(int32_t data_type, int32_t rows, int32_t columns, int32_t matrix_count = 1) {
  SdifWriter w;
  w.file_header();
  w.begin_frame("1TRC", 0.0, 1, 1).matrix_f32("1TRC", 1, 4, {1, 440, 0.5f, 0}).end_frame();
  w.begin_frame("1TRC", 0.1, 1, matrix_count).matrix_header("1TRC", data_type, rows, columns);
  return w.u32(0).u32(0).end_frame();
}

std::vector<Hostile> hostile_files() {
  std::vector<Hostile> files;
  files.push_back({"2^20 x 256 float32 rows (1 GiB)", claiming(0x0004, 1 << 20, 256)});
  files.push_back({"2^28-1 x 1 float64 (2 GiB - 8)", claiming(0x0008, 268435455, 1)});
  files.push_back({"1 x 2147483640 bytes", claiming(0x0301, 1, 2147483640)});
  files.push_back({"width 3, 2^20 x 256", claiming(0x0003, 1 << 20, 256)});
  files.push_back({"width 255, 1000 x 1000", claiming(0x00FF, 1000, 1000)});
  files.push_back({"rows -1", claiming(0x0004, -1, 4)});
  files.push_back({"rows and columns INT32_MIN", claiming(0x0004, INT32_MIN, INT32_MIN)});
  files.push_back({"65536 x 65536 float32 (product overflows)", claiming(0x0004, 65536, 65536)});
  files.push_back({"46341 x 46341 float64 (size overflows)", claiming(0x0008, 46341, 46341)});
  files.push_back({"INT32_MAX matrices of 0 rows", claiming(0x0004, 0, 4, INT32_MAX)});
  SdifWriter long_header;
  long_header.raw("SDIF", 4).i32(2147483640).i32(3).i32(1);
  files.push_back({"file header claiming 2 GiB", long_header});
  return files;
}

}  // namespace

int main() {
  std::string path = "/tmp/sdif-hostile-memory.sdif";
  std::printf("| hostile header | file bytes | result | frames | peak bytes | largest request |\n");
  std::printf("|---|---|---|---|---|---|\n");
  size_t worst = 0;
  for (Hostile& h : hostile_files()) {
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
