// The memory behind one document's frames, matrices and element blocks, carved from growing slabs.
// Used by SdifFile: records cost no allocator overhead, and a failed frame is given back by a mark.
#pragma once

#include <cstddef>
#include <vector>

class SdifRecordStore {
 public:
  // Everything allocated up to some moment; release_to() frees what came after it.
  struct Mark {
    size_t slabs;
    size_t used;
    size_t large_blocks;
  };

  SdifRecordStore() = default;
  SdifRecordStore(const SdifRecordStore&) = delete;
  SdifRecordStore& operator=(const SdifRecordStore&) = delete;
  ~SdifRecordStore();

  // 8-byte aligned memory that lives until release; null when memory is exhausted. Never throws.
  void* allocate(size_t bytes);
  Mark mark() const;
  void release_to(const Mark& mark);
  void release_all();

 private:
  struct Slab {
    char* memory;
    size_t capacity;
  };
  std::vector<Slab> slabs;
  size_t used = 0;  // bytes taken from the last slab
  std::vector<void*> large_blocks;
};
