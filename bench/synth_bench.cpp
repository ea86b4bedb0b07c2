// sdif-synth's speed and memory. First sdif-synth itself in fresh processes, reading a stream of 200
// partials gliding at 44.1 kHz with frames 256 samples apart from a file and writing a WAV file, and
// on frames of more track indices than it plays at once: CPU time and peak resident memory (goal:
// under 64 MB). Then the same partials synthesised in this process by the oscillator bank and by a
// plain bank that calls sin per sample per partial, alternately, in CPU time of one core (goals: at
// least 100 times real time, and 3 times the plain bank), with the largest difference between them.
// Run by hand: build/release/bench/synth-bench [--seconds S] [--runs R]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "synthesis/synthesizer.h"
#include "tools/testfiles/sdif_writer.h"

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double RATE = 44100.0;
constexpr int PARTIALS = 200;
constexpr double HOP = 256 / RATE;
// Distinct track indices in each frame of the memory case, past what one frame pair plays.
constexpr int MANY_INDICES = 70000;
constexpr int MANY_FRAMES = 40;

struct Partial {
  float frequency, amplitude;
};
// The partials of frame f: harmonics of a fundamental gliding around 110 Hz, each with its own
// vibrato and tremolo, all under 20 kHz.
std::vector<Partial> frame_partials(int f) {
  std::vector<Partial> partials;
  double t = f * HOP;
  for (int k = 1; k <= PARTIALS; ++k) {
    double glide = 1 + 0.05 * std::sin(2 * PI * (0.5 + 0.01 * k) * t);
    partials.push_back({float(95.0 * k * glide), float(0.5 / k * (1 + 0.3 * std::sin(2 * PI * 3 * t + k)))});
  }
  return partials;
}

double cpu_seconds() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

std::vector<float> oscillator_bank(int frames) {
  Synthesizer synthesizer(SoundSettings{});
  std::vector<float> sound;
  sound.reserve(size_t(frames * 256 + 1024));
  float block[4096];
  for (int f = 0; f < frames; ++f) {
    synthesizer.begin_frame(f * HOP);
    std::vector<Partial> partials = frame_partials(f);
    for (int k = 0; k < PARTIALS; ++k)
      synthesizer.add_partial(k, partials[size_t(k)].frequency, partials[size_t(k)].amplitude);
    synthesizer.end_frame();
    while (size_t n = synthesizer.render(block, 4096)) sound.insert(sound.end(), block, block + n);
  }
  synthesizer.finish();
  while (size_t n = synthesizer.render(block, 4096)) sound.insert(sound.end(), block, block + n);
  return sound;
}

// The same partials between the same frames, every sample of every partial through std::sin.
std::vector<float> plain_bank(int frames) {
  std::vector<float> sound;
  std::vector<double> phases(PARTIALS, 0.0);
  std::vector<Partial> from = frame_partials(0);
  for (int f = 1; f < frames; ++f) {
    std::vector<Partial> to = frame_partials(f);
    for (size_t n = sound.size(); double(n) / RATE < f * HOP; ++n) {
      double w = (double(n) / RATE - (f - 1) * HOP) / HOP;
      double sum = 0;
      for (size_t k = 0; k < PARTIALS; ++k) {
        sum += (from[k].amplitude + (to[k].amplitude - from[k].amplitude) * w) * std::sin(phases[k]);
        phases[k] += 2 * PI * (from[k].frequency + (to[k].frequency - from[k].frequency) * w) / RATE;
      }
      sound.push_back(float(sum));
    }
    from = to;
  }
  return sound;
}

// Writes the benchmark's stream as 1TRC frames of index, frequency, amplitude and phase; its size in
// megabytes, 0 when it cannot be written.
double write_stream(const std::string& path, int frames) {
  SdifWriter w;
  w.file_header();
  for (int f = 0; f < frames; ++f) {
    std::vector<float> rows;
    for (const Partial& p : frame_partials(f)) rows.insert(rows.end(), {float(rows.size() / 4), p.frequency, p.amplitude, 0});
    w.begin_frame("1TRC", f * HOP, 1, 1).matrix_f32("1TRC", PARTIALS, 4, rows).end_frame();
  }
  return w.save(path) ? w.size() / 1e6 : 0;
}

// Frames of MANY_INDICES indices, each frame's shifted from the last's, so that births and deaths
// meet the bound in every pair.
double write_many(const std::string& path) {
  SdifWriter w;
  w.file_header();
  for (int f = 0; f < MANY_FRAMES; ++f) {
    std::vector<float> rows;
    for (int i = 0; i < MANY_INDICES; ++i) rows.insert(rows.end(), {float(i + f * 1000), 100.0f + i % 19000, 1e-5f});
    w.begin_frame("1TRC", f * HOP, 1, 1).matrix_f32("1TRC", MANY_INDICES, 3, rows).end_frame();
  }
  return w.save(path) ? w.size() / 1e6 : 0;
}

// Runs sdif-synth on `input` into a WAV file and gives its CPU seconds and peak memory in megabytes.
void run_synth(const std::string& input, double& seconds, double& megabytes) {
  std::string output = input + ".wav";
  pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stderr);
    execl(SYNTH_PATH, SYNTH_PATH, "-o", output.c_str(), input.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  struct rusage usage = {};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "synth-bench: %s failed on %s\n", SYNTH_PATH, input.c_str());
    std::exit(1);
  }
  std::remove(output.c_str());
  seconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
  megabytes = usage.ru_maxrss / 1024.0;
}

// sdif-synth in fresh processes on the stream as a file and on frames of more indices than a pair
// plays. A forked child's peak memory counts the pages it shared with this process, so this runs
// before the banks are compared, while this process holds only a few megabytes, and the files'
// writers are gone before it starts.
void program(double seconds) {
  std::string stream = "/tmp/synth-bench-" + std::to_string(getpid()) + "-partials.sdif";
  std::string many = "/tmp/synth-bench-" + std::to_string(getpid()) + "-many.sdif";
  double stream_mb = write_stream(stream, int(seconds / HOP) + 1), many_mb = write_many(many);
  if (stream_mb == 0 || many_mb == 0) {
    std::fprintf(stderr, "synth-bench: cannot write to /tmp\n");
    std::exit(1);
  }
  std::printf("| sdif-synth on                            | file MB | CPU s | x real time | peak MB |\n");
  std::printf("|---|---|---|---|---|\n");
  double cpu, megabytes;
  run_synth(stream, cpu, megabytes);
  std::printf("| %d partials, %.0f s                       | %7.1f | %5.2f | %11.1f | %7.1f |\n", PARTIALS, seconds,
              stream_mb, cpu, seconds / cpu, megabytes);
  run_synth(many, cpu, megabytes);
  std::printf("| %d frames of %d indices, 65536 played | %7.1f | %5.2f | %11.1f | %7.1f |\n\n", MANY_FRAMES,
              MANY_INDICES, many_mb, cpu, MANY_FRAMES * HOP / cpu, megabytes);
  std::remove(stream.c_str());
  std::remove(many.c_str());
}

void compare_banks(double seconds, int runs) {
  int frames = int(seconds / HOP) + 1;
  double fast = 1e300, plain = 1e300;
  std::vector<float> fast_sound, plain_sound;
  for (int run = 0; run < runs; ++run) {
    double start = cpu_seconds();
    fast_sound = oscillator_bank(frames);
    fast = std::min(fast, cpu_seconds() - start);
    start = cpu_seconds();
    plain_sound = plain_bank(frames);
    plain = std::min(plain, cpu_seconds() - start);
  }
  // The fast bank rises over its first 5 ms; past them the two should agree.
  double difference = 0, peak = 0;
  for (size_t n = size_t(EDGE_FADE * RATE); n < plain_sound.size(); ++n) {
    difference = std::max(difference, double(std::fabs(fast_sound[n] - plain_sound[n])));
    peak = std::max(peak, double(std::fabs(plain_sound[n])));
  }
  std::printf("%d partials at 44.1 kHz, frames 256 samples apart, %.0f s of sound, best of %d, CPU time\n\n",
              PARTIALS, seconds, runs);
  std::printf("| bank                  | seconds | x real time |\n|---|---|---|\n");
  std::printf("| recursive oscillators | %7.3f | %11.1f |\n", fast, seconds / fast);
  std::printf("| sin per sample        | %7.3f | %11.1f |\n", plain, seconds / plain);
  std::printf("\nspeed-up over the plain bank %.1f (goal at least 3); at least 100 x real time: %s\n", plain / fast,
              seconds / fast >= 100 ? "yes" : "NO");
  std::printf("largest difference between the two sounds %.2g, %.1f dB below their peak\n", difference,
              20 * std::log10(peak / difference));
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 20;
  int runs = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--seconds")) seconds = std::atof(argv[i + 1]);
    if (!std::strcmp(argv[i], "--runs")) runs = std::atoi(argv[i + 1]);
  }
  program(seconds);
  compare_banks(seconds, runs);
  return 0;
}
