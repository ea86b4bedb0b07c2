// Tests of the progress a load reports between frames: the bytes it counts (headers, elements, pad
// bytes, from a file and from a pipe) and a load stopped by its reader.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "sdif/sdif_document.h"
#include "tests/support/temp_dir.h"

namespace {

struct Reports {
  std::vector<long long> bytes;
  size_t stop_at = 0;  // the report that answers false; 0 never does
};

bool record(void* context, long long bytes) {
  Reports& reports = *static_cast<Reports*>(context);
  reports.bytes.push_back(bytes);
  return reports.bytes.size() != reports.stop_at;
}

size_t frame_count(const SdifFile& file) {
  size_t count = 0;
  for (const SdifFrame* frame = file.frames; frame; frame = frame->next) ++count;
  return count;
}

}  // namespace

TEST(SdifProgress, CountsEveryByteOfTheLoadedFramesAndStopsWhenAsked) {
  SdifWriter padded;
  padded.file_header(24);
  for (int i = 0; i < 3; ++i)
    padded.begin_frame("1TRC", i, 1, 2)
        .matrix_f32("1TRC", 1, 3, {1, 2, 3})
        .matrix_header("1ABC", 0x0301, 3, 1).u8(1).u8(2).u8(3).pad()
        .end_frame();
  SdifWriter bare;
  bare.file_header();
  for (int i = 0; i < 5; ++i) bare.begin_frame("1FQ0", i, 2, 0).end_frame();
  SdifWriter cut = bare;
  cut.begin_frame("1FQ0", 9, 2, 1).matrix_header("1FQ0", 0x0004, 1, 1);

  struct Case {
    const char* name;
    const SdifWriter& writer;
    bool piped;
    size_t stop_at;
    size_t frames;
    size_t loaded_bytes;  // what the last report says
  };
  const Case cases[] = {
      {"matrices with pad bytes after a long header", padded, false, 0, 3, padded.size()},
      {"frames without matrices", bare, false, 0, 5, bare.size()},
      {"the same from a pipe", bare, true, 0, 5, bare.size()},
      {"a frame cut short is not counted", cut, false, 0, 5, bare.size()},
      {"stopped at the second frame", bare, false, 2, 2, 16 + 2 * 24},
      {"stopped at the last frame", bare, true, 5, 5, bare.size()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = save_temp(c.writer, "progress.sdif");
    int ends[2] = {-1, -1};
    std::thread feeder;
    if (c.piped) {
      ASSERT_EQ(pipe(ends), 0);
      path = "/proc/self/fd/" + std::to_string(ends[0]);
      feeder = std::thread([&] {
        ssize_t written = write(ends[1], c.writer.bytes().data(), c.writer.size());
        EXPECT_EQ(written, ssize_t(c.writer.size()));
        close(ends[1]);
      });
    }
    {
      SdifFile file(path.c_str(), 0);
      Reports reports;
      reports.stop_at = c.stop_at;
      EXPECT_EQ(file.read_all_frames({record, &reports}), c.stop_at ? SdifCode::Cancelled : SdifCode::Ok);
      EXPECT_EQ(frame_count(file), c.frames);
      ASSERT_EQ(reports.bytes.size(), c.frames) << "one report after every frame";
      for (size_t i = 1; i < reports.bytes.size(); ++i) EXPECT_LT(reports.bytes[i - 1], reports.bytes[i]);
      EXPECT_EQ(reports.bytes.back(), (long long)c.loaded_bytes);
    }
    if (c.piped) {
      // A load stopped early leaves the rest of the pipe unread; closing the read end lets the feeder finish.
      close(ends[0]);
      feeder.join();
    }
  }
}
