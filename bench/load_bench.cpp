// Loading benchmark: read_all_frames on a large "1TRC" file against one plain fread of the same file,
// and against itself reporting progress to the viewer, each in a fresh process, with peak memory and
// record overhead. Run by hand: load-bench --help.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/load_progress.h"
#include "bench/trc_bench_file.h"
#include "sdif/sdif_document.h"

extern char** environ;

namespace {

constexpr double NO_WINDOW_SECONDS = 1e6;

// What one child process measured.
struct Sample {
  double seconds = 0;
  long peak_kib = 0;
  long baseline_kib = 0;
  long frames = 0;
  long matrices = 0;
  long long element_bytes = 0;
};

// The per-process figures come from /proc/self/status rather than getrusage: ru_maxrss survives
// exec and may still hold the high-water mark of the image the child replaced, VmHWM does not.
long status_kib(const char* key) {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long value = -1;
  size_t key_length = std::strlen(key);
  while (std::fgets(line, sizeof line, f)) {
    if (std::strncmp(line, key, key_length) == 0) {
      value = std::strtol(line + key_length, nullptr, 10);
      break;
    }
  }
  std::fclose(f);
  return value;
}

void print_sample(const Sample& s) {
  std::printf("seconds=%.9f peak_kib=%ld baseline_kib=%ld frames=%ld matrices=%ld element_bytes=%lld\n", s.seconds,
              s.peak_kib, s.baseline_kib, s.frames, s.matrices, s.element_bytes);
}

double seconds_between(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point end) {
  return std::chrono::duration<double>(end - start).count();
}

int child_fread(const char* path) {
  long long size = file_size(path);
  FILE* f = std::fopen(path, "rb");
  if (size <= 0 || !f) return 1;
  Sample s;
  s.baseline_kib = status_kib("VmRSS:");
  // Left untouched until fread, so that its page faults count as they do for the loader's records.
  char* buffer = static_cast<char*>(std::malloc(size_t(size)));
  if (!buffer) return 1;
  auto start = std::chrono::steady_clock::now();
  size_t got = std::fread(buffer, 1, size_t(size), f);
  auto end = std::chrono::steady_clock::now();
  s.peak_kib = status_kib("VmHWM:");
  s.seconds = seconds_between(start, end);
  std::fclose(f);
  if (got != size_t(size) || s.baseline_kib < 0 || s.peak_kib < 0) return 1;
  print_sample(s);
  std::free(buffer);
  return 0;
}

// With `progress`, the load reports to the viewer's progress watcher, whose window is held back for
// longer than any run takes, so that what is measured is the cost of the reports themselves.
// Both kinds open the file inside the timed span, since load_with_progress opens it itself.
int child_load(const char* path, bool progress) {
  Sample s;
  s.baseline_kib = status_kib("VmRSS:");
  auto start = std::chrono::steady_clock::now();
  std::unique_ptr<SdifFile> loaded =
      progress ? load_with_progress(path, NO_WINDOW_SECONDS) : std::make_unique<SdifFile>(path, 0);
  if (!progress && loaded->result == SdifCode::Ok) loaded->read_all_frames();
  auto end = std::chrono::steady_clock::now();
  const SdifFile& file = *loaded;
  SdifResult result = file.result;
  s.peak_kib = status_kib("VmHWM:");
  s.seconds = seconds_between(start, end);
  if (result != SdifCode::Ok) {
    std::fprintf(stderr, "load-bench: loading %s gave code %d\n", path, result);
    return 1;
  }
  if (s.baseline_kib < 0 || s.peak_kib < 0) return 1;
  for (const SdifFrame* frame = file.frames; frame; frame = frame->next) {
    s.frames++;
    for (const SdifMatrix* matrix = frame->matrices; matrix; matrix = matrix->next) {
      s.matrices++;
      s.element_bytes += static_cast<long long>(matrix->rows) * matrix->columns * SDIF_ElementWidth(matrix->data_type);
    }
  }
  print_sample(s);
  return 0;
}

// Each measurement runs in a fresh process, so neither kind inherits the other's heap or page tables.
bool run_child(const char* kind, const std::string& path, Sample* out) {
  int channel[2];
  if (pipe(channel) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, channel[0]);
  posix_spawn_file_actions_addclose(&actions, channel[1]);
  char exe[] = "/proc/self/exe";
  char child_flag[] = "--child";
  std::string kind_arg = kind;
  std::string path_arg = path;
  char* argv[] = {exe, child_flag, kind_arg.data(), path_arg.data(), nullptr};
  pid_t pid;
  int spawned = posix_spawn(&pid, exe, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(channel[1]);
  std::string report;
  if (spawned == 0) {
    char buffer[512];
    ssize_t got;
    while ((got = read(channel[0], buffer, sizeof buffer)) > 0) report.append(buffer, size_t(got));
  }
  close(channel[0]);
  if (spawned != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
  return std::sscanf(report.c_str(),
                     "seconds=%lf peak_kib=%ld baseline_kib=%ld frames=%ld matrices=%ld element_bytes=%lld",
                     &out->seconds, &out->peak_kib, &out->baseline_kib, &out->frames, &out->matrices,
                     &out->element_bytes) == 6;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

const char* verdict(bool met) { return met ? "PASS" : "FAIL"; }

int run_benchmark(const TrcBenchOptions& options) {
  long long expected = trc_bench_file_bytes(options.frames);
  if (!prepare_trc_bench_file(options.path, options.frames)) return 1;

  std::vector<double> fread_rates, load_rates, progress_rates, peak_ratios, overheads, fread_peak_ratios;
  Sample last_load;
  double megabytes = double(expected) / 1e6;
  for (int run = 0; run < options.runs; run++) {
    Sample plain, load, reported;
    if (!run_child("fread", options.path, &plain) || !run_child("load", options.path, &load) ||
        !run_child("progress", options.path, &reported)) {
      std::fprintf(stderr, "load-bench: a measuring process failed\n");
      return 1;
    }
    if (load.frames != options.frames || load.matrices != options.frames) {
      std::fprintf(stderr, "load-bench: loaded %ld frames and %ld matrices, expected %ld of each\n", load.frames,
                   load.matrices, options.frames);
      return 1;
    }
    fread_rates.push_back(megabytes / plain.seconds);
    load_rates.push_back(megabytes / load.seconds);
    progress_rates.push_back(megabytes / reported.seconds);
    fread_peak_ratios.push_back(double(plain.peak_kib) * 1024.0 / double(expected));
    peak_ratios.push_back(double(load.peak_kib) * 1024.0 / double(expected));
    double grown = double(load.peak_kib - load.baseline_kib) * 1024.0;
    overheads.push_back((grown - double(load.element_bytes)) / double(load.frames));
    last_load = load;
  }

  double fread_median = median(fread_rates);
  double load_median = median(load_rates);
  double fread_best = *std::max_element(fread_rates.begin(), fread_rates.end());
  double load_best = *std::max_element(load_rates.begin(), load_rates.end());
  double ratio = load_median / fread_median;
  double progress_ratio = median(progress_rates) / load_median;
  // Memory hardly varies between runs; the worst run is the honest figure.
  double peak_ratio = *std::max_element(peak_ratios.begin(), peak_ratios.end());
  double fread_peak_ratio = *std::max_element(fread_peak_ratios.begin(), fread_peak_ratios.end());
  double overhead = *std::max_element(overheads.begin(), overheads.end());
  double matrices_per_frame = double(last_load.matrices) / double(last_load.frames);
  double overhead_budget = 100.0 + 50.0 * matrices_per_frame;

  std::printf("| Quantity | Value | Goal | Verdict |\n|---|---|---|---|\n");
  std::printf("| File | %.1f MB, %ld frames, %ld matrices | | |\n", megabytes, last_load.frames, last_load.matrices);
  std::printf("| fread, %d runs | %.0f MB/s median, %.0f best | | |\n", options.runs, fread_median, fread_best);
  std::printf("| read_all_frames, %d runs | %.0f MB/s median, %.0f best | | |\n", options.runs, load_median,
              load_best);
  std::printf("| read_all_frames / fread | %.2f median, %.2f best/best | >= 0.50, aim 0.70 | %s%s |\n", ratio,
              load_best / fread_best, verdict(ratio >= 0.5), ratio >= 0.5 && ratio < 0.7 ? " (below aim)" : "");
  std::printf("| with progress / without | %.3f median (%.0f MB/s) | >= 0.95 | %s |\n", progress_ratio,
              median(progress_rates), verdict(progress_ratio >= 0.95));
  std::printf("| Peak RSS / file size | %.3f (fread: %.3f) | <= 1.10 | %s |\n", peak_ratio, fread_peak_ratio,
              verdict(peak_ratio <= 1.10));
  std::printf("| Record overhead per frame | %.1f bytes | <= %.0f (100 + 50 per matrix) | %s |\n", overhead,
              overhead_budget, verdict(overhead <= overhead_budget));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
    if (std::strcmp(argv[2], "fread") == 0) return child_fread(argv[3]);
    if (std::strcmp(argv[2], "load") == 0) return child_load(argv[3], false);
    if (std::strcmp(argv[2], "progress") == 0) return child_load(argv[3], true);
    return 2;
  }
  TrcBenchOptions options;
  if (!parse_trc_bench_options(argc, argv, "load-bench", options)) return 2;
  return run_benchmark(options);
}
