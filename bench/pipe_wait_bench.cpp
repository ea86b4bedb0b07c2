// Waiting benchmark: how long a load goes without a progress call at which the viewer's loading window
// can be served, and how soon a cancel given at such a call ends the load, whatever the writer of a
// pipe does: stall before and inside the data, send a small frame now and then, or send one 320 MB
// frame at full speed; and the same frame from a file. Run by hand: pipe-wait-bench.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "sdif/sdif_document.h"
#include "tools/testfiles/sdif_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

// The loading window reads the clock at calls that wait, and at others once this many more bytes
// have loaded (app/load_progress.cpp): only those calls can serve it.
constexpr long long WINDOW_CLOCK_STEP = 16 * 1024;
constexpr double GAP_GOAL_MS = 50, CANCEL_GOAL_MS = 100;
constexpr int32_t BIG_ROWS = 80000000;  // floats: 320 MB
// Cancelled this long after the start: inside the first stall, or the large frame.
constexpr auto CANCEL_AFTER = std::chrono::milliseconds(50);
constexpr int FRAMES = 400;
constexpr unsigned STALL_SECONDS = 1;
constexpr useconds_t TRICKLE_MICROSECONDS = 5000;
constexpr size_t ZEROS = size_t(1) << 20;
const char* const BIG_FILE = "/tmp/sdif-pipe-wait-bench.sdif";

enum class Writer { Stalls, Trickles, Floods, File };

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Watch {
  bool cancel;
  Clock::time_point last_served = Clock::now();
  Clock::duration longest_gap{};
  long long served_bytes = -WINDOW_CLOCK_STEP;
  Clock::time_point cancelled_at{};
  Clock::time_point start = Clock::now();
};

bool report(void* context, long long bytes, bool waiting) {
  Watch& w = *static_cast<Watch*>(context);
  if (!waiting && bytes - w.served_bytes < WINDOW_CLOCK_STEP) return true;
  w.served_bytes = bytes;
  Clock::time_point now = Clock::now();
  w.longest_gap = std::max(w.longest_gap, now - w.last_served);
  w.last_served = now;
  if (!w.cancel || now - w.start < CANCEL_AFTER) return true;
  w.cancelled_at = now;
  return false;
}

bool put(int fd, const std::vector<uint8_t>& bytes) {
  return write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
}

// A file header, then one frame of one matrix of BIG_ROWS zero floats.
bool write_big_frame(int fd) {
  SdifWriter start;
  start.file_header().begin_frame("1STF", 0, 1, 1).matrix_header("1STF", 0x0004, BIG_ROWS, 1);
  if (!put(fd, start.bytes())) return false;
  std::vector<uint8_t> zeros(ZEROS);
  for (size_t left = size_t(BIG_ROWS) * 4; left > 0; left -= std::min(left, ZEROS))
    if (write(fd, zeros.data(), std::min(left, ZEROS)) < 0) return false;
  return true;
}

// The pipe's writer, in a child process: the file header, then empty frames.
void write_pipe(Writer writer, int fd) {
  if (writer == Writer::Floods) {
    write_big_frame(fd);
    return;
  }
  SdifWriter frame;
  frame.begin_frame("1TRC", 0, 1, 0).end_frame();
  const std::vector<uint8_t>& bytes = frame.bytes();
  if (!put(fd, SdifWriter().file_header().bytes())) return;
  if (writer == Writer::Stalls) sleep(STALL_SECONDS);
  for (int i = 0; i < FRAMES; ++i) {
    if (writer == Writer::Trickles) usleep(TRICKLE_MICROSECONDS);
    // The stalling writer stops in the middle of the frame in the middle.
    size_t first_part = writer == Writer::Stalls && i == FRAMES / 2 ? bytes.size() / 2 : 0;
    if (first_part) {
      if (write(fd, bytes.data(), first_part) < 0) return;
      sleep(STALL_SECONDS);
    }
    if (write(fd, bytes.data() + first_part, bytes.size() - first_part) < 0) return;
  }
}

struct Result {
  double longest_gap_ms, cancel_ms;
};

Result load(Writer writer, bool cancel) {
  Watch watch{cancel};
  int ends[2] = {-1, -1};
  pid_t child = -1;
  std::string path = BIG_FILE;
  if (writer != Writer::File) {
    if (pipe(ends) != 0 || (child = fork()) < 0) return {-1, -1};
    if (child == 0) {
      close(ends[0]);
      write_pipe(writer, ends[1]);
      _exit(0);
    }
    close(ends[1]);
    path = "/proc/self/fd/" + std::to_string(ends[0]);
  }
  watch.start = watch.last_served = Clock::now();
  SdifProgress progress{report, &watch};
  SdifFile file(path.c_str(), 0, progress);
  if (file.result == SdifCode::Ok) file.read_all_frames(progress);
  Clock::time_point end = Clock::now();
  watch.longest_gap = std::max(watch.longest_gap, end - watch.last_served);
  if (child > 0) {
    close(ends[0]);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  bool stopped = file.result == SdifCode::Cancelled;
  return {milliseconds(watch.longest_gap), stopped ? milliseconds(end - watch.cancelled_at) : -1};
}

}  // namespace

int main() {
  std::FILE* big = std::fopen(BIG_FILE, "wb");
  if (!big || !write_big_frame(fileno(big)) || std::fclose(big) != 0) {
    std::fprintf(stderr, "pipe-wait-bench: cannot write %s\n", BIG_FILE);
    return 1;
  }
  const struct {
    Writer writer;
    const char* name;
  } writers[] = {{Writer::Stalls, "pipe: stalls 1 s before the frames and 1 s inside one"},
                 {Writer::Trickles, "pipe: a 24-byte frame every 5 ms"},
                 {Writer::Floods, "pipe: one 320 MB frame at full speed"},
                 {Writer::File, "file: one 320 MB frame"}};
  std::printf("| Writer | Longest gap (goal <= %.0f ms) | Cancel to return (goal <= %.0f ms) |\n|---|---|---|\n",
              GAP_GOAL_MS, CANCEL_GOAL_MS);
  bool met = true;
  for (const auto& w : writers) {
    Result whole = load(w.writer, false);
    Result cancelled = load(w.writer, true);
    bool gap_met = whole.longest_gap_ms >= 0 && whole.longest_gap_ms <= GAP_GOAL_MS;
    bool cancel_met = cancelled.cancel_ms >= 0 && cancelled.cancel_ms <= CANCEL_GOAL_MS;
    std::printf("| %s | %.1f ms %s | %.1f ms %s |\n", w.name, whole.longest_gap_ms, gap_met ? "PASS" : "FAIL",
                cancelled.cancel_ms, cancel_met ? "PASS" : "FAIL");
    met = met && gap_met && cancel_met;
  }
  std::remove(BIG_FILE);
  return met ? 0 : 1;
}
