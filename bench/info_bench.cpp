// sdif-info's full pass (every frame, every element's column range) against one fread of the whole
// file, alternating in one process on the loading benchmark's file; then the peak memory of sdif-info
// itself, in fresh processes, on a file built to fill its tables. Run by hand: info-bench --help.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/trc_bench_file.h"
#include "info/file_survey.h"
#include "tools/testfiles/survey_files.h"

namespace {

constexpr double GOAL = 0.7;
constexpr double MEMORY_GOAL_MB = 32;

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A fresh buffer each time, left untouched until fread, so its page faults count as a reader's would.
double time_fread(const std::string& path, long long size) {
  char* buffer = static_cast<char*>(std::malloc(size_t(size)));
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!buffer || !f) std::exit(1);
  auto start = Clock::now();
  size_t got = std::fread(buffer, 1, size_t(size), f);
  double seconds = seconds_since(start);
  std::fclose(f);
  std::free(buffer);
  if (got != size_t(size)) std::exit(1);
  return seconds;
}

double time_survey(const std::string& path, long frames) {
  auto start = Clock::now();
  FileSurvey survey = survey_file(path);
  double seconds = seconds_since(start);
  if (survey.outcome != ReadOutcome::Complete || survey.frames != uint64_t(frames)) {
    std::fprintf(stderr, "info-bench: the survey read %llu frames of %ld\n",
                 static_cast<unsigned long long>(survey.frames), frames);
    std::exit(1);
  }
  return seconds;
}

// Peak resident memory of one run of sdif-info with `option` (or none) on `path`, its report thrown
// away, in megabytes.
double peak_megabytes(const char* option, const std::string& path) {
  pid_t child = fork();
  if (child == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    if (*option) execl(INFO_PATH, INFO_PATH, option, path.c_str(), static_cast<char*>(nullptr));
    else execl(INFO_PATH, INFO_PATH, path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  struct rusage usage = {};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
    std::fprintf(stderr, "info-bench: %s did not run\n", INFO_PATH);
    std::exit(1);
  }
  return usage.ru_maxrss / 1024.0;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  TrcBenchOptions options;
  if (!parse_trc_bench_options(argc, argv, "info-bench", options)) return 2;
  if (!prepare_trc_bench_file(options.path, options.frames)) return 1;
  long long size = trc_bench_file_bytes(options.frames);
  double megabytes = double(size) / 1e6;
  std::vector<double> fread_rates, survey_rates, ratios;
  for (int run = 0; run < options.runs; run++) {
    double plain = time_fread(options.path, size);
    double survey = time_survey(options.path, options.frames);
    fread_rates.push_back(megabytes / plain);
    survey_rates.push_back(megabytes / survey);
    ratios.push_back(plain / survey);
  }
  double ratio = median(ratios);
  std::printf("| Quantity | Value | Goal | Verdict |\n|---|---|---|---|\n");
  std::printf("| File | %.1f MB, %ld frames | | |\n", megabytes, options.frames);
  std::printf("| fread, %d runs | %.0f MB/s median | | |\n", options.runs, median(fread_rates));
  std::printf("| sdif-info pass, %d runs | %.0f MB/s median | | |\n", options.runs, median(survey_rates));
  std::printf("| pass / fread | %.2f median of the runs' ratios | >= %.2f | %s |\n", ratio, GOAL,
              ratio >= GOAL ? "PASS" : "FAIL");

  // The file is written and let go before the runs, whose peak would otherwise include this
  // process's copy of it from before their exec.
  std::string wide = "/tmp/info-bench-wide-" + std::to_string(getpid()) + ".sdif";
  if (!many_wide_types().save(wide)) return 1;
  for (const char* option : {"", "--json"}) {
    double peak = peak_megabytes(option, wide);
    std::printf("| peak memory, sdif-info%s%s, many wide matrix types | %.1f MB | < %.0f MB | %s |\n",
                *option ? " " : "", option, peak, MEMORY_GOAL_MB, peak < MEMORY_GOAL_MB ? "PASS" : "FAIL");
  }
  std::remove(wide.c_str());
  return 0;
}
