// Tests that matrix headers claiming more data than the file holds end the load like a truncated
// file without sizing memory by the claim, while real large blocks still load; also from a pipe,
// whose length the loader cannot know.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

#include "sdif/sdif_document.h"
#include "tests/support/call_log.h"
#include "tests/support/temp_dir.h"
#include "tools/testfiles/hostile_headers.h"

namespace {

struct Load {
  SdifResult result;
  size_t frames;
  CallLog log;
};

// Feeds the writer's bytes into a named pipe from another thread for as long as the pipe is open at
// its other end. Made before the SdifFile that reads it, so that it outlives that file.
class PipeFeeder {
 public:
  explicit PipeFeeder(const SdifWriter& writer) : path(temp_path("pipe" + std::to_string(++count))) {
    if (mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("cannot make " + path);
    // A reader that stops early closes the pipe; the feeder then sees EPIPE instead of a signal.
    std::signal(SIGPIPE, SIG_IGN);
    feeder = std::thread([this, &writer] {
      int fd = open(path.c_str(), O_WRONLY);
      for (size_t sent = 0; fd >= 0 && sent < writer.size();) {
        ssize_t n = write(fd, writer.bytes().data() + sent, writer.size() - sent);
        if (n <= 0) break;
        sent += size_t(n);
      }
      if (fd >= 0) close(fd);
    });
  }
  ~PipeFeeder() { feeder.join(); }

  const std::string path;

 private:
  static inline int count = 0;
  std::thread feeder;
};

Load load_from(const std::string& path) {
  SdifFile file(path.c_str(), 0);
  start_recording();
  SdifResult result = file.read_all_frames();
  CallLog log = stop_recording();
  size_t frames = 0;
  for (SdifFrame* f = file.frames; f; f = f->next) frames++;
  return Load{result, frames, log};
}

Load load(const SdifWriter& writer) { return load_from(save_temp(writer, "hostile.sdif")); }

Load load_piped(const SdifWriter& writer) {
  PipeFeeder pipe(writer);
  return load_from(pipe.path);
}

}  // namespace

TEST(SdifHostile, HugeClaimsInATinyFileLoadAsTruncated) {
  const struct {
    int32_t data_type, rows, columns;
  } claims[] = {
      {0x0004, 1 << 20, 256},         // 1 GiB of floats
      {0x0008, 268435455, 1},         // the largest block a 32-bit size allows
      {0x0301, 1, 2147483640},        // bytes
      {0x0004, 1, 1100},              // just over the size that is never checked
      {0x0001, 1, 8193},              // bytes, with pad bytes beyond the end
  };
  for (const auto& c : claims) {
    SdifWriter file = claiming(c.data_type, c.rows, c.columns);
    ASSERT_LE(file.size(), 120u);
    Load result = load(file);
    EXPECT_EQ(result.result, SdifCode::Ok) << c.rows << "x" << c.columns;
    EXPECT_EQ(result.frames, 1u) << "the frame with the impossible matrix is dropped";
    EXPECT_LE(result.log.largest_allocation, 4096u);
    EXPECT_LE(result.log.total_allocated, 4096u);

    // From a pipe the claim cannot be checked first; only the first piece of the block is allocated.
    Load piped = load_piped(file);
    EXPECT_EQ(piped.result, SdifCode::Ok) << c.rows << "x" << c.columns;
    EXPECT_EQ(piped.frames, 1u);
    EXPECT_LE(piped.log.largest_allocation, 4096u);
    EXPECT_LE(piped.log.total_allocated, 8192u);
  }

  // A frame claiming two billion matrices of a truncated file.
  SdifWriter many;
  many.file_header().begin_frame("1TRC", 0.0, 1, INT32_MAX).matrix_f32("1TRC", 1, 1, {1}).end_frame();
  Load result = load(many);
  EXPECT_EQ(result.result, SdifCode::Ok);
  EXPECT_EQ(result.frames, 0u);
  EXPECT_LE(result.log.total_allocated, 4096u);
}

TEST(SdifHostile, ImpossibleHeadersGetTheirCodeWithoutABlock) {
  Load unreadable = load(claiming(0x0003, 1 << 20, 256));
  EXPECT_EQ(unreadable.result, SdifCode::UnknownDataType) << "an unreadable width is not a truncation";
  EXPECT_EQ(unreadable.frames, 1u);
  EXPECT_LE(unreadable.log.largest_allocation, 4096u);

  for (auto [rows, columns] : {std::pair{-1, 4}, {4, INT32_MIN}, {65536, 65536}}) {
    Load refused = load(claiming(0x0004, rows, columns));
    EXPECT_EQ(refused.result, SdifCode::BadMatrixHeader) << rows << "x" << columns;
    EXPECT_EQ(refused.frames, 1u);
    EXPECT_LE(refused.log.largest_allocation, 4096u);
  }
}

TEST(SdifHostile, LargeBlocksThatAreThereStillLoad) {
  const int rows = 4096, columns = 4;  // 64 KiB, exactly what remains after the header
  std::vector<float> elements(rows * columns);
  for (size_t i = 0; i < elements.size(); i++) elements[i] = float(i);
  SdifWriter w;
  w.file_header().begin_frame("1STF", 0.0, 1, 1).matrix_f32("1STF", rows, columns, elements).end_frame();
  std::string path = save_temp(w, "large.sdif");

  SdifFile file(path.c_str(), 0);
  start_recording();
  EXPECT_EQ(file.read_all_frames(), SdifCode::Ok);
  CallLog log = stop_recording();
  ASSERT_NE(file.frames, nullptr);
  const float* data = static_cast<const float*>(file.frames->matrices->data);
  EXPECT_EQ(data[0], 0.0f);
  EXPECT_EQ(data[rows * columns - 1], float(rows * columns - 1));
  EXPECT_GE(log.largest_allocation, size_t(rows * columns * 4));
  EXPECT_LE(log.total_allocated, size_t(rows * columns * 4) + 8192);

  // One byte short of the same file: the block is no longer all there.
  w.save_prefix(path, w.size() - 1);
  SdifFile cut(path.c_str(), 0);
  start_recording();
  EXPECT_EQ(cut.read_all_frames(), SdifCode::Ok);
  log = stop_recording();
  EXPECT_EQ(cut.frames, nullptr);
  EXPECT_LE(log.largest_allocation, 4096u);
}

TEST(SdifHostile, LargeBlocksFromAPipeLoadWholeWithinTwiceTheirSize) {
  const int rows = 20000, columns = 3;
  std::vector<float> elements(rows * columns);
  for (size_t i = 0; i < elements.size(); i++) elements[i] = float(i);
  SdifWriter w;
  w.file_header().begin_frame("1TRC", 0.0, 1, 1).matrix_f32("1TRC", rows, columns, elements).end_frame();
  PipeFeeder pipe(w);
  SdifFile file(pipe.path.c_str(), 0);
  start_recording();
  EXPECT_EQ(file.read_all_frames(), SdifCode::Ok);
  CallLog log = stop_recording();
  ASSERT_NE(file.frames, nullptr);
  ASSERT_NE(file.frames->matrices->data, nullptr);
  EXPECT_EQ(std::memcmp(file.frames->matrices->data, elements.data(), elements.size() * 4), 0);
  // The pieces hold what has arrived, and the block is made only once all of it is there.
  EXPECT_LE(log.total_allocated, 2 * elements.size() * 4 + 8192);
}
