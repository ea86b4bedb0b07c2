// The large "1TRC" file that the loading and sdif-info benchmarks read: frames of 64 partials with a
// vibrato and an envelope, generated once into /tmp and reused while its size is right.
#pragma once

#include <string>

// The command line both benchmarks take: [--frames N] [--runs R] [--file PATH].
struct TrcBenchOptions {
  long frames = 200000;
  int runs = 5;
  std::string path = "/tmp/sdif-load-bench.sdif";
};
// Reads the options into `options`; false, after a usage line naming `program`, on anything else.
bool parse_trc_bench_options(int argc, char** argv, const char* program, TrcBenchOptions& options);

// Bytes of a file of `frames` frames.
long long trc_bench_file_bytes(long frames);
long long file_size(const std::string& path);
// Makes sure `path` holds the file of `frames` frames, generating it when its size is wrong, and
// reads it once so that the page cache holds it; false when it cannot be written or read back.
bool prepare_trc_bench_file(const std::string& path, long frames);
