// Tests of the progress a load reports between frames: the bytes it counts (headers, elements, pad
// bytes, from a file and from a pipe) and a load stopped by its reader.
#include <unistd.h>

#include <gtest/gtest.h>

#include <vector>

#include "sdif/sdif_document.h"
#include "tests/support/temp_dir.h"

namespace {

struct Reports {
  size_t stop_at;  // the report that answers false; 0 for none
  std::vector<long long> bytes;
};

bool record(void* context, long long bytes) {
  Reports& reports = *static_cast<Reports*>(context);
  reports.bytes.push_back(bytes);
  return reports.bytes.size() != reports.stop_at;
}

}  // namespace

TEST(SdifProgress, CountsEveryByteOfTheLoadedFramesAndStopsWhenAsked) {
  SdifWriter padded;
  padded.file_header(24);
  for (int i = 0; i < 3; ++i)
    padded.begin_frame("1TRC", i, 1, 2).matrix_f32("1TRC", 1, 3, {1, 2, 3}).matrix_header("1ABC", 0x0301, 3, 1)
        .u8(1).u8(2).u8(3).pad().end_frame();
  SdifWriter bare;
  bare.file_header();
  for (int i = 0; i < 5; ++i) bare.begin_frame("1FQ0", i, 2, 0).end_frame();
  SdifWriter cut = bare;
  cut.begin_frame("1FQ0", 9, 2, 1).matrix_header("1FQ0", 0x0004, 1, 1);
  const struct {
    const SdifWriter& writer;
    bool piped;
    size_t stop_at, frames, last_report;
  } cases[] = {
      {padded, false, 0, 3, padded.size()},  // a longer header, pad bytes after elements of 4 and 1 byte
      {bare, true, 0, 5, bare.size()},       // a pipe cannot tell its position
      {cut, false, 0, 5, bare.size()},       // the frame cut short is not counted
      {bare, false, 2, 2, 16 + 2 * 24},
      {bare, true, 5, 5, bare.size()},
  };
  for (const auto& c : cases) {
    std::string path = save_temp(c.writer, "progress.sdif");
    int ends[2] = {-1, -1};
    // The pipe's buffer holds these few bytes, so they are written before the load starts.
    if (c.piped) {
      ASSERT_EQ(pipe(ends), 0);
      ASSERT_EQ(write(ends[1], c.writer.bytes().data(), c.writer.size()), ssize_t(c.writer.size()));
      close(ends[1]);
      path = "/proc/self/fd/" + std::to_string(ends[0]);
    }
    SdifFile file(path.c_str(), 0);
    Reports reports{c.stop_at, {}};
    EXPECT_EQ(file.read_all_frames({record, &reports}), c.stop_at ? SdifCode::Cancelled : SdifCode::Ok);
    size_t frames = 0;
    for (const SdifFrame* frame = file.frames; frame; frame = frame->next) ++frames;
    EXPECT_EQ(frames, c.frames);
    ASSERT_EQ(reports.bytes.size(), c.frames) << "one report after every frame";
    for (size_t i = 1; i < reports.bytes.size(); ++i) EXPECT_LT(reports.bytes[i - 1], reports.bytes[i]);
    EXPECT_EQ(reports.bytes.back(), (long long)c.last_report);
    if (c.piped) close(ends[0]);
  }
}
