// Tests of sdif-synth through its main function, by what the sound files it writes hold, read back
// with libsndfile and measured with a Hann-windowed Fourier sum at the frequencies of interest.
#include "synth/synth_run.h"

#include <dirent.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/main_run.h"
#include "tests/support/test_files.h"

namespace {

constexpr double PI = 3.14159265358979323846;

MainRun run_synth(std::vector<std::string> arguments) {
  return run_main(synth_main, "sdif-synth", std::move(arguments));
}

struct Sound {
  int rate = 0;
  std::vector<double> samples;
  double at(double t) const { return samples[size_t(std::lround(t * rate))]; }
};

Sound read_sound(const std::string& path) {
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return {};
  Sound sound{info.samplerate, std::vector<double>(size_t(info.frames))};
  sf_read_double(file, sound.samples.data(), info.frames);
  sf_close(file);
  return sound;
}

// The amplitude of the sinusoid at `frequency` in the `length` samples around time `centre`.
double amplitude(const Sound& sound, double frequency, double centre, int length = 8192) {
  size_t first = size_t(std::lround(centre * sound.rate)) - size_t(length / 2);
  double re = 0, im = 0;
  for (int n = 0; n < length; ++n) {
    double window = 0.5 - 0.5 * std::cos(2 * PI * n / length);
    double phase = 2 * PI * frequency * double(first + size_t(n)) / sound.rate;
    re += window * sound.samples[first + size_t(n)] * std::cos(phase);
    im += window * sound.samples[first + size_t(n)] * std::sin(phase);
  }
  return 4 * std::hypot(re, im) / length;
}

// The frequency within 3 Hz of `near` where the amplitude peaks, to a twentieth of a hertz: to half a
// hertz first, then finer around the best.
double peak_frequency(const Sound& sound, double near, double centre) {
  double best = near, highest = 0;
  for (double step : {0.5, 0.05}) {
    double around = best;
    for (int i = -6; i <= 6; ++i) {
      double level = amplitude(sound, around + i * step, centre);
      if (level > highest) std::tie(best, highest) = std::make_tuple(around + i * step, level);
    }
  }
  return best;
}

// The largest step between neighbouring samples, silence before and after the sound included.
double largest_step(const Sound& sound) {
  double largest = 0, previous = 0;
  for (double sample : sound.samples) {
    largest = std::max(largest, std::fabs(sample - previous));
    previous = sample;
  }
  return std::max(largest, std::fabs(previous));
}

// A stream of frames `type` in stream 1: each frame a time and its rows.
using Rows = std::vector<std::vector<double>>;
std::string stream_file(const char* type, const std::vector<std::pair<double, Rows>>& frames, bool doubles = false) {
  SdifWriter w;
  w.file_header();
  for (const auto& [time, rows] : frames) {
    std::vector<double> elements;
    for (const auto& row : rows) elements.insert(elements.end(), row.begin(), row.end());
    int32_t columns = rows.empty() ? 3 : int32_t(rows[0].size());
    w.begin_frame(type, time, 1, 1);
    if (doubles) w.matrix_f64(type, int32_t(rows.size()), columns, elements);
    else w.matrix_f32(type, int32_t(rows.size()), columns, std::vector<float>(elements.begin(), elements.end()));
    w.end_frame();
  }
  return save_temp(w, std::string(type) + ".sdif");
}

// Frames 10 ms apart from 0 to 1 s, each with the rows `at` gives for its time.
template <class At>
std::vector<std::pair<double, Rows>> every_10_ms(At at) {
  std::vector<std::pair<double, Rows>> frames;
  for (int f = 0; f <= 100; ++f) frames.push_back({f * 0.01, at(f * 0.01)});
  return frames;
}

TEST(SynthSound, PartialsAtTheirFrequenciesAndLevels) {
  const struct {
    const char* name;
    const char* type;
    bool doubles;
    Rows rows;
    std::vector<std::string> options;
    std::vector<std::pair<double, double>> heard;  // frequency and amplitude
    std::vector<double> silent;
  } cases[] = {
      // 30 kHz would fold back to 14.1 kHz.
      {"1TRC float32 to float WAV", "1TRC", false,
       {{1, 440, 0.5}, {2, 1234.5, 0.25}, {70000, 5000.25, 0.05}, {-4, 30000, 0.5}}, {"-o", "a.wav"},
       {{440, 0.5}, {1234.5, 0.25}, {5000.25, 0.05}}, {14100}},
      {"1HRM float64 at 48 kHz, -6.02 dB, 24-bit FLAC", "1HRM", true, {{1, 220, 0.8}, {2, 3300.7, 0.1}},
       {"--rate", "48000", "--gain", "-6.0206", "-o", "b.flac"}, {{220, 0.4}, {3300.7, 0.05}}, {}},
      {"the later row of an index, 16-bit WAV", "1TRC", false, {{3, 500, 0.5}, {3.7, 700, 0.3}},
       {"--bits", "16", "-o", "c.wav"}, {{700, 0.3}}, {500}},
      {"normalized to -1 dBFS", "1TRC", false, {{1, 440, 0.2}}, {"--normalize", "-o", "d.wav"}, {{440, 0.891}}, {}},
  };
  for (const auto& c : cases) {
    std::string input = stream_file(c.type, every_10_ms([&](double) { return c.rows; }), c.doubles);
    std::vector<std::string> arguments = c.options;
    arguments.back() = temp_path(arguments.back());
    arguments.push_back(input);
    ASSERT_EQ(run_synth(arguments).status, 0) << c.name;
    Sound sound = read_sound(arguments[arguments.size() - 2]);
    for (auto [frequency, level] : c.heard) {
      EXPECT_NEAR(peak_frequency(sound, frequency, 0.5), frequency, 1.0) << c.name;
      EXPECT_NEAR(20 * std::log10(amplitude(sound, frequency, 0.5) / level), 0.0, 0.1) << c.name << " " << frequency;
    }
    for (double frequency : c.silent) EXPECT_LT(amplitude(sound, frequency, 0.5), 1e-4) << c.name;
  }
}

TEST(SynthSound, GlidesAcrossFramesWithoutClicks) {
  // Frames about 256 samples apart, off the samples; each sample may move by what the frequencies
  // and amplitudes allow, and a phase that jumped at a frame would move it by far more.
  auto wobble = [](double t) { return std::sin(2 * PI * 3 * t); };
  const struct {
    const char* name;
    const char* type;
    std::vector<std::pair<double, Rows>> frames;
    std::vector<std::string> options;
    double largest_step;
  } cases[] = {
      {"two partials", "1TRC", every_10_ms([&](double t) {
         return Rows{{1, 2000 + 1800 * wobble(t), 0.4 + 0.2 * wobble(t)}, {2, 700 - 300 * wobble(t), 0.3}};
       }),
       {}, 2 * PI * (0.6 * 3800 + 0.3 * 1000) / 44100},
      {"a frequency of 0 in every other frame", "1TRC", every_10_ms([&](double t) {
         return Rows{{1, std::lround(t * 100) % 2 ? 0.0 : 1000 + 500 * wobble(t), 0.5}};
       }),
       {}, 2 * PI * 0.5 * 1500 / 44100},
      {"a pitch tone of 5 harmonics", "1FQ0", every_10_ms([&](double t) { return Rows{{300 + 200 * wobble(t), 1}}; }),
       {"--harmonics", "5"}, 2 * PI * 5 * 500 / 44100},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = c.options;
    arguments.insert(arguments.end(), {"-o", temp_path("glide.wav"), stream_file(c.type, c.frames)});
    ASSERT_EQ(run_synth(arguments).status, 0) << c.name;
    double largest = largest_step(read_sound(temp_path("glide.wav")));
    EXPECT_LT(largest, 1.01 * c.largest_step) << c.name;
    EXPECT_GT(largest, 0.7 * c.largest_step) << c.name;
  }
}

TEST(SynthSound, PartialsBornAndDyingFadeAndOutsideTheStreamIsSilent) {
  // 1000 Hz from 0.1 s, dying across 0.3 to 0.5 s; 3000 Hz born across 0.1 to 0.3 s.
  std::string input = stream_file(
      "1TRC", {{0.1, {{1, 1000, 0.5}}}, {0.3, {{1, 1000, 0.5}, {2, 3000, 0.4}}}, {0.5, {{2, 3000, 0.4}}}});
  for (bool ranged : {true, false}) {
    std::vector<std::string> arguments = {"-o", temp_path("fades.wav"), input};
    if (ranged) arguments.insert(arguments.begin(), {"--time", "0:0.8"});
    ASSERT_EQ(run_synth(arguments).status, 0);
    Sound sound = read_sound(temp_path("fades.wav"));
    double origin = ranged ? 0.0 : 0.1;
    ASSERT_EQ(sound.samples.size(), size_t(std::ceil((ranged ? 0.8 : 0.405) * 44100)));
    for (size_t n = 0; n < sound.samples.size(); ++n) {
      double t = origin + double(n) / 44100;
      if (t < 0.1 || t >= 0.505) {
        ASSERT_EQ(sound.samples[n], 0.0) << t;
      }
    }
    for (double w : {0.25, 0.5, 0.75}) {
      EXPECT_NEAR(amplitude(sound, 3000, 0.1 + 0.2 * w - origin, 1024), 0.4 * w, 0.003) << w;
      EXPECT_NEAR(amplitude(sound, 1000, 0.3 + 0.2 * w - origin, 1024), 0.5 * (1 - w), 0.003) << w;
    }
  }
}

TEST(SynthSound, PitchHarmonicsBelowHalfTheRateAndUnvoicedGapsSilent) {
  std::string steady = stream_file("1FQ0", every_10_ms([](double) { return Rows{{1000, 0.5}}; }));
  ASSERT_EQ(run_synth({"--harmonics", "30", "-o", temp_path("tone.wav"), steady}).status, 0);
  Sound tone = read_sound(temp_path("tone.wav"));
  for (int k = 1; k <= 20; ++k)
    EXPECT_NEAR(20 * std::log10(amplitude(tone, 1000.0 * k, 0.5) * k / 0.5), 0.0, 0.1) << k;
  // Harmonics 23 to 30 would fold back to 44100 - 1000 k Hz.
  for (int k = 23; k <= 30; ++k) EXPECT_LT(amplitude(tone, 44100 - 1000.0 * k, 0.5), 1e-4) << k;

  // 440.5 Hz up to 0.49 s, unvoiced (0 Hz, and NaN at 0.55 s) from 0.5 to 0.6 s, 881 Hz from 0.61 s;
  // the gap comes at a quarter of a cycle, where stopping short would jump by the whole amplitude.
  std::string gap = stream_file("1FQ0", every_10_ms([](double t) {
    return Rows{{t < 0.495 ? 440.5 : std::fabs(t - 0.55) < 0.001 ? NAN : t < 0.605 ? 0 : 881, 1}};
  }));
  ASSERT_EQ(run_synth({"-o", temp_path("gap.wav"), gap}).status, 0);
  Sound sound = read_sound(temp_path("gap.wav"));
  for (double t = 0.5; t <= 0.6; t += 1.0 / 44100) ASSERT_EQ(sound.at(t), 0.0) << t;
  EXPECT_LT(largest_step(sound), 2 * PI * 881 / 44100);
  // Up to the gap and after it the crossings of zero keep their spacing: no glide towards 0 Hz.
  const struct {
    double from, to, frequency;
  } sides[] = {{0.47, 0.4999, 440.5}, {0.6001, 0.63, 881}};
  for (const auto& side : sides) {
    std::vector<double> crossings;
    for (double t = side.from; t < side.to; t += 1.0 / 44100)
      if ((sound.at(t) < 0) != (sound.at(t + 1.0 / 44100) < 0)) crossings.push_back(t);
    for (size_t i = 1; i < crossings.size(); ++i)
      EXPECT_NEAR(crossings[i] - crossings[i - 1], 0.5 / side.frequency, 1.5 / 44100) << side.frequency;
    EXPECT_GE(crossings.size(), size_t(2 * side.frequency * (side.to - side.from)) - 1) << side.frequency;
  }
}

// The names in a folder, hidden ones (a temporary file left behind) included.
std::vector<std::string> folder_listing(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* folder = opendir(path.c_str())) {
    while (dirent* entry = readdir(folder))
      if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.push_back(entry->d_name);
    closedir(folder);
  }
  return names;
}

TEST(SynthRun, FailuresLeaveNoFileAndUsageErrorsExitWithTwo) {
  SdifWriter good;
  good.file_header();
  for (int f = 0; f <= 100; ++f) good.begin_frame("1TRC", f * 0.01, 1, 1).matrix_f32("1TRC", 1, 3, {1, 440, 0.5}).end_frame();
  std::string input = save_temp(good, "good.sdif"), cut = temp_path("cut.sdif");
  ASSERT_TRUE(good.save_prefix(cut, good.size() - 4));
  SdifWriter damaged = good;
  damaged.begin_frame("1TRC", 2, 1, 1).matrix_header("1TRC", 0x0003, 1, 3).u32(0).u32(0).end_frame();
  SdifWriter spectra;
  spectra.file_header().begin_frame("1STF", 0, 1, 1).matrix_f32("1STF", 1, 2, {1, 1}).end_frame();
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    std::string message;
  } cases[] = {
      {"damaged", {save_temp(damaged, "damaged.sdif")}, 1,
       "damaged at byte " + std::to_string(good.size() + 24) + ": "},
      {"missing", {temp_path("missing.sdif")}, 1, "missing.sdif: No such file"},
      {"not SDIF", {save_temp(SdifWriter().raw("RIFF....WAVEfmt ", 16), "riff.sdif")}, 1, "not a readable SDIF"},
      {"no stream", {save_temp(spectra, "spectra.sdif")}, 1, "has no 1TRC, 1HRM or 1FQ0 frames\n"},
      {"no such stream", {"--stream", "2", input}, 1, "has no 1TRC, 1HRM or 1FQ0 frames in stream 2"},
      {"cut inside its last frame", {cut}, 0, "the file stops inside a frame"},
      {"gain and normalize", {"--gain", "3", "--normalize", input}, 2, "exclude each other"},
      {"rate", {"--rate", "999", input}, 2, "rate '999'"},
      {"frame type", {"--frame", "1STF", input}, 2, "frame type '1STF'"},
      {"time", {"--time", "2:1", input}, 2, "time '2:1'"},
      {"no file", {}, 2, "no FILE given"},
      {"FLAC of floats", {"--bits", "32f", "-o", temp_path("out/sound.flac"), input}, 2, "FLAC holds 16 or 24 bits"},
  };
  std::string folder = temp_path("out");
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"-o", folder + "/sound.wav"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    MainRun run = run_synth(arguments);
    EXPECT_EQ(run.status, c.status) << c.name;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.name << ": " << run.err;
    std::vector<std::string> left = folder_listing(folder);
    EXPECT_EQ(left, c.status == 0 ? std::vector<std::string>{"sound.wav"} : std::vector<std::string>{}) << c.name;
    for (const std::string& name : left) std::remove((folder + "/" + name).c_str());
  }
  // The output is never written onto the input.
  std::string sound_named = save_temp(good, "input.wav");
  EXPECT_EQ(run_synth({"-o", sound_named, sound_named}).status, 1);
  EXPECT_EQ(file_bytes(sound_named), good.bytes());
}

}  // namespace
