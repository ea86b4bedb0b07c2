// Generates and caches the benchmarks' large "1TRC" file.
#include "bench/trc_bench_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/testfiles/sdif_writer.h"

namespace {

constexpr int32_t PARTIALS = 64;
constexpr int32_t COLUMNS = 4;  // index, frequency, amplitude, phase
constexpr long long FILE_HEADER_BYTES = 16;
constexpr long long FRAME_BYTES = 24 + 16 + PARTIALS * COLUMNS * 4;
constexpr double HOP_SECONDS = 256.0 / 44100.0;
constexpr double PI = 3.14159265358979323846;

// A positive decimal count, the whole text.
bool parse_count(const char* text, long* out) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 1) return false;
  *out = value;
  return true;
}

void partial_frame(std::vector<float>& elements, long frame) {
  double time = double(frame) * HOP_SECONDS;
  double f0 = 220.0 * (1.0 + 0.02 * std::sin(2.0 * PI * 5.0 * time));
  double envelope = 0.5 + 0.5 * std::sin(2.0 * PI * 0.25 * time);
  for (int32_t k = 0; k < PARTIALS; k++) {
    double frequency = (k + 1) * f0;
    float* row = &elements[size_t(k) * COLUMNS];
    row[0] = float(k + 1);
    row[1] = float(frequency);
    row[2] = float(envelope * 0.5 / (k + 1));
    row[3] = float(std::fmod(2.0 * PI * frequency * time, 2.0 * PI) - PI);
  }
}

// Frames are built and written one at a time so that generating 200 MB costs a few kilobytes, and
// the file appears under its name only when complete, so a run that dies midway is regenerated.
// It is synced before measuring so that writeback does not compete with the timed reads.
bool generate(const std::string& path, long frames) {
  std::string partial = path + ".partial";
  FILE* f = std::fopen(partial.c_str(), "wb");
  if (!f) return false;
  SdifWriter header;
  header.file_header();
  bool ok = std::fwrite(header.bytes().data(), 1, header.size(), f) == header.size();
  std::vector<float> elements(size_t(PARTIALS) * COLUMNS);
  for (long i = 0; ok && i < frames; i++) {
    partial_frame(elements, i);
    SdifWriter frame;
    frame.begin_frame("1TRC", double(i) * HOP_SECONDS, 1, 1).matrix_f32("1TRC", PARTIALS, COLUMNS, elements).end_frame();
    ok = std::fwrite(frame.bytes().data(), 1, frame.size(), f) == frame.size();
  }
  ok = std::fflush(f) == 0 && fsync(fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (ok) ok = std::rename(partial.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(partial.c_str());
  return ok;
}

bool warm_page_cache(const std::string& path, long long expected) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::vector<char> chunk(size_t(1) << 20);
  long long total = 0;
  size_t got;
  while ((got = std::fread(chunk.data(), 1, chunk.size(), f)) > 0) total += static_cast<long long>(got);
  std::fclose(f);
  return total == expected;
}

}  // namespace

long long trc_bench_file_bytes(long frames) { return FILE_HEADER_BYTES + FRAME_BYTES * frames; }

long long file_size(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return -1;
  return status.st_size;
}

bool prepare_trc_bench_file(const std::string& path, long frames) {
  long long expected = trc_bench_file_bytes(frames);
  if (file_size(path) != expected) {
    std::fprintf(stderr, "generating %s (%ld frames)\n", path.c_str(), frames);
    if (!generate(path, frames)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return false;
    }
  }
  if (!warm_page_cache(path, expected)) {
    std::fprintf(stderr, "cannot read %s back\n", path.c_str());
    return false;
  }
  return true;
}

bool parse_trc_bench_options(int argc, char** argv, const char* program, TrcBenchOptions& options) {
  // Runs are capped so that a typing slip does not keep the machine busy for hours.
  constexpr long MAX_RUNS = 1000;
  for (int i = 1; i < argc; i += 2) {
    long value = 0;
    bool has_value = i + 1 < argc;
    if (std::strcmp(argv[i], "--frames") == 0 && has_value && parse_count(argv[i + 1], &value)) {
      options.frames = value;
    } else if (std::strcmp(argv[i], "--runs") == 0 && has_value && parse_count(argv[i + 1], &value) &&
               value <= MAX_RUNS) {
      options.runs = int(value);
    } else if (std::strcmp(argv[i], "--file") == 0 && has_value) {
      options.path = argv[i + 1];
    } else {
      std::fprintf(stderr, "usage: %s [--frames N] [--runs R] [--file PATH]\n", program);
      return false;
    }
  }
  return true;
}
