// Tests of the progress a load reports: between frames, the bytes it counts (headers, elements, pad
// bytes, from a file and from a pipe) and a load stopped by its reader; inside a large matrix; and
// while a pipe's writer keeps the load waiting, before the header or inside a frame.
#include <unistd.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "sdif/sdif_document.h"
#include "tests/support/test_files.h"

TEST(SdifProgress, CountsEveryByteOfTheLoadedFramesAndStopsWhenAsked) {
  SdifWriter padded;  // a longer header, and pad bytes after elements of 4 and of 1 byte
  padded.file_header(24);
  for (int i = 0; i < 3; ++i)
    padded.begin_frame("1TRC", i, 1, 2).matrix_f32("1TRC", 1, 3, {1, 2, 3}).matrix_header("1ABC", 0x0301, 3, 1)
        .u8(1).u8(2).u8(3).pad().end_frame();
  SdifWriter bare;
  bare.file_header();
  for (int i = 0; i < 5; ++i) bare.begin_frame("1FQ0", i, 2, 0).end_frame();
  SdifWriter cut = bare;  // the frame cut short is not counted
  cut.begin_frame("1FQ0", 9, 2, 1).matrix_header("1FQ0", 0x0004, 1, 1);
  const struct {
    const SdifWriter& writer;
    bool piped;  // a pipe cannot tell its position
    size_t stop_at, frames, last_report;
  } cases[] = {{padded, false, 0, 3, padded.size()}, {bare, true, 0, 5, bare.size()}, {cut, false, 0, 5, bare.size()},
               {bare, false, 2, 2, 16 + 2 * 24},     {bare, true, 5, 5, bare.size()}};
  for (const auto& c : cases) {
    FilledPipe pipe(c.writer);
    std::string path = c.piped ? pipe.path : save_temp(c.writer, "progress.sdif");
    struct Reports {
      size_t stop_at;
      std::vector<long long> bytes;
    } reports{c.stop_at, {}};
    auto record = [](void* context, long long bytes, bool waiting) {
      Reports& r = *static_cast<Reports*>(context);
      if (waiting) return true;  // a busy machine may make even a filled pipe's read take its time
      r.bytes.push_back(bytes);
      return r.bytes.size() != r.stop_at;
    };
    SdifFile file(path.c_str(), 0);
    EXPECT_EQ(file.read_all_frames({record, &reports}), c.stop_at ? SdifCode::Cancelled : SdifCode::Ok);
    size_t frames = 0;
    for (const SdifFrame* frame = file.frames; frame; frame = frame->next) ++frames;
    EXPECT_EQ(frames, c.frames);
    ASSERT_EQ(reports.bytes.size(), c.frames) << "one report after every frame";
    for (size_t i = 1; i < reports.bytes.size(); ++i) EXPECT_LT(reports.bytes[i - 1], reports.bytes[i]);
    EXPECT_EQ(reports.bytes.back(), (long long)c.last_report);
  }
}

TEST(SdifProgress, ReportsInsideLargeMatricesAndWhileAPipeWaits) {
  // A 3 MiB matrix from a file: reports after its first and second MiB, stopped at the second. A pipe
  // whose writer stalls after the header and half a frame header, or sends nothing: waits report the
  // bytes so far, and stopping at the third ends the load, or the open, as cancelled.
  SdifWriter large, stalled, silent;
  large.file_header().begin_frame("1STF", 0, 1, 1).matrix_f32("1STF", 3 << 18, 1, std::vector<float>(3 << 18));
  stalled.file_header().raw("1TRC\0\0\0\x10", 8);
  const struct {
    const SdifWriter& writer;
    bool piped;
    std::vector<std::pair<long long, bool>> calls;  // bytes, and whether a wait: the last one stopped it
  } cases[] = {{large, false, {{56 + (1 << 20), false}, {56 + (2 << 20), false}}},
               {stalled, true, {{16, true}, {16, true}, {16, true}}},
               {silent, true, {{0, true}, {0, true}, {0, true}}}};
  for (const auto& c : cases) {
    struct Calls {
      size_t stop_at;
      std::vector<std::pair<long long, bool>> seen;
    } calls{c.calls.size(), {}};
    SdifProgress progress{[](void* context, long long bytes, bool waiting) {
                            Calls& calls = *static_cast<Calls*>(context);
                            calls.seen.push_back({bytes, waiting});
                            return calls.seen.size() < calls.stop_at;
                          },
                          &calls};
    int ends[2];  // the writing end stays open: the writer is alive, it just sends no more
    ASSERT_EQ(pipe(ends), 0);
    size_t sent = c.piped ? c.writer.size() : 0;
    ASSERT_EQ(write(ends[1], c.writer.bytes().data(), sent), ssize_t(sent));
    std::string path = c.piped ? "/proc/self/fd/" + std::to_string(ends[0]) : save_temp(c.writer, "large.sdif");
    SdifFile file(path.c_str(), 0, progress);
    if (file.result == SdifCode::Ok) file.read_all_frames(progress);
    EXPECT_EQ(file.result, SdifCode::Cancelled);
    EXPECT_EQ(file.frames, nullptr);
    EXPECT_EQ(calls.seen, c.calls);
    close(ends[0]);
    close(ends[1]);
  }
}
