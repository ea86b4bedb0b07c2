// Measures the heap that loading small hostile SDIF files takes, from a file and from a pipe: headers
// that claim huge or impossible matrices must cost a few kilobytes, whatever they claim. Run by hand.
#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "sdif/sdif_document.h"
#include "tools/testfiles/hostile_headers.h"

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

struct Measure {
  SdifResult result;
  int frames;
  size_t peak, largest;
};

Measure load(const std::string& path) {
  outstanding = peak = largest = 0;
  SdifFile file(path.c_str(), 0);
  file.read_all_frames();
  int frames = 0;
  for (SdifFrame* f = file.frames; f; f = f->next) frames++;
  return Measure{file.result, frames, peak, largest};
}

// The same load from a named pipe that a child process fills: a stream whose length is unknown.
Measure load_piped(const SdifWriter& writer, const std::string& fifo) {
  pid_t child = fork();
  if (child == 0) {
    int fd = open(fifo.c_str(), O_WRONLY);
    for (size_t sent = 0; fd >= 0 && sent < writer.size();) {
      ssize_t n = write(fd, writer.bytes().data() + sent, writer.size() - sent);
      if (n <= 0) break;
      sent += size_t(n);
    }
    _exit(0);
  }
  Measure measure = load(fifo);
  waitpid(child, nullptr, 0);
  return measure;
}

}  // namespace

int main() {
  std::string path = "/tmp/sdif-hostile-memory.sdif", fifo = "/tmp/sdif-hostile-memory.fifo";
  std::remove(fifo.c_str());
  if (mkfifo(fifo.c_str(), 0600) != 0) {
    std::fprintf(stderr, "cannot make %s\n", fifo.c_str());
    return 1;
  }
  std::printf("| hostile header | file bytes | result | frames | peak bytes | largest request | from a pipe: peak | largest |\n");
  std::printf("|---|---|---|---|---|---|---|---|\n");
  size_t worst = 0;
  for (const HostileFile& h : hostile_files()) {
    if (!h.file.save(path)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    Measure file = load(path), piped = load_piped(h.file, fifo);
    worst = std::max({worst, file.peak, piped.peak});
    std::printf("| %s | %zu | %d | %d | %zu | %zu | %zu | %zu |\n", h.name, h.file.size(), file.result, file.frames,
                file.peak, file.largest, piped.peak, piped.largest);
  }
  std::remove(path.c_str());
  std::remove(fifo.c_str());
  std::printf("\nworst peak: %zu bytes (goal: a few kilobytes)\n", worst);
  return 0;
}
