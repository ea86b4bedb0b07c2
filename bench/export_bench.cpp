// sdif-export's CSV on the loading benchmark's "1TRC" file, against the same rows written with
// printf("%.9g") and against one fread of the whole file, alternating in one process; then the peak
// memory of sdif-export itself, in fresh processes, on that file and on one frame too large to hold
// back. Output goes to /dev/null, so the figures are the reading and the formatting. Run by hand:
// export-bench [--frames N] [--runs R] [--file PATH].
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/trc_bench_file.h"
#include "export/export_run.h"
#include "sdif/sdif_frame_reader.h"
#include "tools/testfiles/sdif_writer.h"

namespace {

constexpr double SPEED_GOAL = 3.0;
constexpr double MEMORY_GOAL_MB = 32;
// Both writers get a stdio buffer of this size, so neither pays for more system calls.
constexpr size_t OUTPUT_BUFFER_BYTES = size_t(1) << 20;
// Rows of the frame that outgrows sdif-export's hold: 32 MB of elements, about 80 MB of text.
constexpr int32_t HUGE_FRAME_ROWS = 2000000;

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

[[noreturn]] void give_up(const char* what) {
  std::fprintf(stderr, "export-bench: %s\n", what);
  std::exit(1);
}

struct NullOutput {
  NullOutput() : file(std::fopen("/dev/null", "w")), buffer(new char[OUTPUT_BUFFER_BYTES]) {
    if (!file) give_up("cannot open /dev/null");
    std::setvbuf(file, buffer.get(), _IOFBF, OUTPUT_BUFFER_BYTES);
  }
  ~NullOutput() { std::fclose(file); }
  FILE* file;
  std::unique_ptr<char[]> buffer;
};

double time_fread(const std::string& path, long long size) {
  char* buffer = static_cast<char*>(std::malloc(size_t(size)));
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!buffer || !f) give_up("cannot read the file");
  auto start = Clock::now();
  size_t got = std::fread(buffer, 1, size_t(size), f);
  double seconds = seconds_since(start);
  std::fclose(f);
  std::free(buffer);
  if (got != size_t(size)) give_up("short read");
  return seconds;
}

double time_export(const std::string& path) {
  ExportOptions options;
  options.file = path;
  NullOutput out;
  auto start = Clock::now();
  int status = export_file(options, out.file, stderr);
  std::fflush(out.file);
  double seconds = seconds_since(start);
  if (status != 0) give_up("the export failed");
  return seconds;
}

// The rows sdif-export writes, through the same reader, each written by one fprintf: the time in
// full double precision, the four single-precision values in "%.9g", which also reads back exactly.
double time_printf(const std::string& path) {
  NullOutput out;
  auto start = Clock::now();
  SdifFrameReader reader(path.c_str());
  std::fputs("time,stream,frame,matrix,row,index,frequency,amplitude,phase\r\n", out.file);
  SdifFrameHeader frame;
  SdifMatrixHeader matrix;
  std::vector<float> elements;
  while (reader.next_frame(&frame) == SdifCode::Ok) {
    while (reader.next_matrix(&matrix) == SdifCode::Ok) {
      if (matrix.data_type != SdifDataType::Float32 || matrix.columns != 4) give_up("not the benchmark's file");
      elements.resize(size_t(matrix.rows) * 4);
      size_t count;
      if (reader.next_elements(elements.data(), elements.size(), &count) != SdifCode::Ok || count != elements.size())
        give_up("short matrix");
      for (int32_t row = 0; row < matrix.rows; row++) {
        const float* v = &elements[size_t(row) * 4];
        std::fprintf(out.file, "%.17g,%d,%.4s,%.4s,%d,%.9g,%.9g,%.9g,%.9g\r\n", frame.time, frame.stream_id, frame.type,
                     matrix.type, row, double(v[0]), double(v[1]), double(v[2]), double(v[3]));
      }
    }
  }
  std::fflush(out.file);
  double seconds = seconds_since(start);
  if (reader.result != SdifCode::EndOfData) give_up("the printf pass did not read the whole file");
  return seconds;
}

// Peak resident memory of one run of sdif-export with `format` on `path`, its output thrown away, in
// megabytes. Measured while this process holds nothing large, since the child's figure starts from
// this process's size at the fork.
double peak_megabytes(const char* format, const std::string& path) {
  pid_t child = fork();
  if (child == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    execl(EXPORT_PATH, EXPORT_PATH, "--format", format, path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  struct rusage usage = {};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    give_up("sdif-export did not run");
  return usage.ru_maxrss / 1024.0;
}

void write_huge_frame(const std::string& path) {
  SdifWriter w;
  w.file_header().begin_frame("1TRC", 0, 1, 1);
  w.matrix_f32("1TRC", HUGE_FRAME_ROWS, 4, std::vector<float>(size_t(HUGE_FRAME_ROWS) * 4, 0.123456789f));
  if (!w.end_frame().save(path)) give_up("cannot write the huge frame");
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  TrcBenchOptions options;
  if (!parse_trc_bench_options(argc, argv, "export-bench", options)) return 2;
  if (!prepare_trc_bench_file(options.path, options.frames)) return 1;
  std::string huge = "/tmp/export-bench-huge-" + std::to_string(getpid()) + ".sdif";
  write_huge_frame(huge);
  std::vector<std::pair<std::string, double>> peaks;
  for (const char* format : {"csv", "jsonl"}) {
    peaks.push_back({std::string(format) + ", the 1TRC file", peak_megabytes(format, options.path)});
    peaks.push_back({std::string(format) + ", one frame of 2 million rows", peak_megabytes(format, huge)});
  }
  std::remove(huge.c_str());

  long long size = trc_bench_file_bytes(options.frames);
  double megabytes = double(size) / 1e6;
  std::vector<double> fread_rates, export_rates, printf_rates, speedups, shares;
  for (int run = 0; run < options.runs; run++) {
    double plain = time_fread(options.path, size);
    double exported = time_export(options.path);
    double printed = time_printf(options.path);
    fread_rates.push_back(megabytes / plain);
    export_rates.push_back(megabytes / exported);
    printf_rates.push_back(megabytes / printed);
    speedups.push_back(printed / exported);
    shares.push_back(plain / exported);
  }
  double speedup = median(speedups);
  std::printf("| Quantity | Value | Goal | Verdict |\n|---|---|---|---|\n");
  std::printf("| File | %.1f MB, %ld frames of 64 rows | | |\n", megabytes, options.frames);
  std::printf("| fread, %d runs | %.0f MB/s median | | |\n", options.runs, median(fread_rates));
  std::printf("| sdif-export CSV | %.0f MB/s median | | |\n", median(export_rates));
  std::printf("| the same rows by printf(\"%%.9g\") | %.0f MB/s median | | |\n", median(printf_rates));
  std::printf("| CSV / printf | %.2f median of the runs' ratios | >= %.1f | %s |\n", speedup, SPEED_GOAL,
              speedup >= SPEED_GOAL ? "PASS" : "FAIL");
  std::printf("| CSV / fread | %.3f median of the runs' ratios | | |\n", median(shares));
  for (const auto& [what, peak] : peaks)
    std::printf("| peak memory, sdif-export --format %s | %.1f MB | < %.0f MB | %s |\n", what.c_str(), peak,
                MEMORY_GOAL_MB, peak < MEMORY_GOAL_MB ? "PASS" : "FAIL");
  return 0;
}
