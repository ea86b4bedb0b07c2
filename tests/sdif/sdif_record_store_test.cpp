// Tests of the record store behind the document: aligned, non-overlapping records of every size,
// and a rollback to a mark that gives back exactly what came after it.
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "sdif/sdif_record_store.h"

namespace {

struct Record {
  unsigned char* memory;
  size_t size;
};

}  // namespace

TEST(SdifRecordStore, RecordsAreAlignedAndKeepTheirContents) {
  SdifRecordStore store;
  std::vector<Record> records;
  const size_t sizes[] = {72, 32, 1, 1024, 7, 4096, 16384, 16385, 40, 300000, 8, 5000};
  for (int round = 0; round < 40; round++) {
    for (size_t size : sizes) {
      unsigned char* memory = static_cast<unsigned char*>(store.allocate(size));
      ASSERT_NE(memory, nullptr);
      EXPECT_EQ(reinterpret_cast<uintptr_t>(memory) % 8, 0u) << size;
      std::memset(memory, int(records.size() % 251), size);
      records.push_back({memory, size});
    }
  }
  // Any overlap would have overwritten an earlier record's pattern.
  for (size_t i = 0; i < records.size(); i++)
    for (size_t b = 0; b < records[i].size; b++) ASSERT_EQ(records[i].memory[b], i % 251) << "record " << i;
}

TEST(SdifRecordStore, ReleaseToAMarkGivesBackWhatCameAfter) {
  SdifRecordStore store;
  void* kept = store.allocate(4000);
  std::memset(kept, 0x11, 4000);

  SdifRecordStore::Mark mark = store.mark();
  store.allocate(72);  // no longer fits the first slab
  store.allocate(100000);
  store.allocate(9000);
  SdifRecordStore::Mark grown = store.mark();
  EXPECT_EQ(grown.slabs, mark.slabs + 1);
  EXPECT_EQ(grown.large_blocks, mark.large_blocks + 1);
  store.release_to(mark);
  SdifRecordStore::Mark back = store.mark();
  EXPECT_EQ(back.slabs, mark.slabs);
  EXPECT_EQ(back.used, mark.used);
  EXPECT_EQ(back.large_blocks, mark.large_blocks);
  EXPECT_EQ(static_cast<unsigned char*>(kept)[3999], 0x11) << "what came before the mark stays";

  // Within one slab the same memory is handed out again.
  SdifRecordStore::Mark inside = store.mark();
  void* a = store.allocate(16);
  store.release_to(inside);
  EXPECT_EQ(store.allocate(16), a);

  store.release_all();
  SdifRecordStore::Mark empty = store.mark();
  EXPECT_EQ(empty.slabs, 0u);
  EXPECT_EQ(empty.large_blocks, 0u);
}
