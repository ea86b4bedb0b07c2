// Tests of the record store behind the document: aligned, non-overlapping records of every size, and
// a rollback to a mark that gives back exactly what came after it.
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "sdif/sdif_record_store.h"

TEST(SdifRecordStore, RecordsAreAlignedApartAndRollBackToAMark) {
  SdifRecordStore store;
  std::vector<std::pair<unsigned char*, size_t>> records;
  for (int round = 0; round < 40; round++) {
    for (size_t size : {72, 32, 1, 1024, 7, 4096, 16384, 16385, 40, 300000, 8, 5000}) {
      unsigned char* memory = static_cast<unsigned char*>(store.allocate(size));
      ASSERT_EQ(reinterpret_cast<uintptr_t>(memory) % 8, 0u) << size;
      std::memset(memory, int(records.size() % 251), size);
      records.push_back({memory, size});
    }
  }
  // Any overlap would have overwritten an earlier record's pattern.
  for (size_t i = 0; i < records.size(); i++)
    for (size_t b = 0; b < records[i].second; b++) ASSERT_EQ(records[i].first[b], i % 251) << "record " << i;

  SdifRecordStore fresh;
  unsigned char* kept = static_cast<unsigned char*>(fresh.allocate(4000));
  std::memset(kept, 0x11, 4000);
  SdifRecordStore::Mark mark = fresh.mark();
  fresh.allocate(9000);  // no longer fits the first slab
  fresh.allocate(100000);
  SdifRecordStore::Mark grown = fresh.mark();
  EXPECT_EQ(grown.slabs, mark.slabs + 1);
  EXPECT_EQ(grown.large_blocks, mark.large_blocks + 1);
  fresh.release_to(mark);
  SdifRecordStore::Mark back = fresh.mark();
  EXPECT_EQ(back.slabs, mark.slabs);
  EXPECT_EQ(back.used, mark.used);
  EXPECT_EQ(back.large_blocks, mark.large_blocks);
  EXPECT_EQ(kept[3999], 0x11) << "what came before the mark stays";
  void* again = fresh.allocate(16);
  fresh.release_to(mark);
  EXPECT_EQ(fresh.allocate(16), again) << "within one slab the same memory is handed out again";
  fresh.release_all();
  EXPECT_EQ(fresh.mark().slabs, 0u);
  EXPECT_EQ(fresh.mark().large_blocks, 0u);
}
