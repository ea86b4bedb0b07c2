// Slab allocation for the document's records: small records share slabs that double from 4 KiB
// to 1 MiB, so a tiny file costs a few kilobytes and a large one almost nothing beyond its data.
#include "sdif/sdif_record_store.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace {

constexpr size_t first_slab = 4096;
constexpr size_t largest_slab = size_t(1) << 20;
// Larger requests get a block of their own: a slab would waste up to this much at its end.
constexpr size_t large_request = 16384;

// Slabs are mapped with their pages already present: a slab is filled right after it is made, and
// faulting it in one page at a time from the loader's stores costs more than the reading itself.
char* map_slab(size_t capacity) {
  void* memory = mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  return memory == MAP_FAILED ? nullptr : static_cast<char*>(memory);
}

}  // namespace

SdifRecordStore::~SdifRecordStore() { release_all(); }

void* SdifRecordStore::allocate(size_t bytes) {
  bytes = (bytes + 7) & ~size_t(7);
  // Each list gets its entry before the memory exists, so a list that cannot grow leaks nothing.
  try {
    if (bytes > large_request) {
      large_blocks.push_back(nullptr);
      large_blocks.back() = std::malloc(bytes);
      if (large_blocks.back()) return large_blocks.back();
      large_blocks.pop_back();
      return nullptr;
    }
    if (slabs.empty() || slabs.back().capacity - used < bytes) {
      size_t capacity = slabs.empty() ? first_slab : slabs.back().capacity * 2;
      if (capacity > largest_slab) capacity = largest_slab;
      while (capacity < bytes) capacity *= 2;
      slabs.push_back(Slab{nullptr, capacity});
      slabs.back().memory = map_slab(capacity);
      if (!slabs.back().memory) {
        slabs.pop_back();
        return nullptr;
      }
      used = 0;
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  void* record = slabs.back().memory + used;
  used += bytes;
  return record;
}

SdifRecordStore::Mark SdifRecordStore::mark() const { return Mark{slabs.size(), used, large_blocks.size()}; }

void SdifRecordStore::release_to(const Mark& mark) {
  while (slabs.size() > mark.slabs) {
    munmap(slabs.back().memory, slabs.back().capacity);
    slabs.pop_back();
  }
  used = mark.used;
  while (large_blocks.size() > mark.large_blocks) {
    std::free(large_blocks.back());
    large_blocks.pop_back();
  }
}

void SdifRecordStore::release_all() { release_to(Mark{0, 0, 0}); }
