// Generates the bundled example SDIF file: pitch, sinusoidal-track and short-time-spectrum streams
// analysed from a tone synthesised in memory. Run by hand as `make-example OUTPUT_PATH`.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "tools/testfiles/sdif_writer.h"

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double SAMPLE_RATE = 44100.0;
constexpr int SAMPLE_COUNT = 4 * 44100;
constexpr int HOP = 256;  // about 5.8 ms between analysis frames

constexpr int32_t PITCH_STREAM = 1;
constexpr int32_t TRACK_STREAM = 2;
constexpr int32_t SPECTRUM_STREAM = 3;

// Tone shape, in seconds and hertz.
constexpr double ONSET = 0.12;
constexpr double ATTACK_END = 0.20;
constexpr double DECAY_END = 0.50;
constexpr double RELEASE_START = 3.30;
constexpr double RELEASE_END = 3.80;
constexpr double SUSTAIN_LEVEL = 0.7;
constexpr double PEAK_AMPLITUDE = 0.8;  // of the fundamental at the end of the attack
constexpr double GLIDE_START = 0.80;
constexpr double GLIDE_END = 2.80;
constexpr double F0_LOW = 220.0;
constexpr double F0_HIGH = 330.0;
constexpr double VIBRATO_RATE = 5.5;
constexpr double VIBRATO_DEPTH = 0.025;  // fraction of f0
constexpr double VIBRATO_FADE_START = 0.30;
constexpr double VIBRATO_FADE_END = 0.90;

constexpr int PARTIAL_COUNT = 12;
// Partials from this one up sound only inside their window, so tracks start and end mid-file.
constexpr int FIRST_WINDOWED_PARTIAL = 9;
constexpr double WINDOW_ON[] = {0.90, 1.30, 1.70, 2.00};
constexpr double WINDOW_OFF[] = {3.30, 2.90, 2.60, 2.40};
constexpr double WINDOW_FADE = 0.10;
// -60 dB: weaker partials are left out of a track frame, as an analyser's peak picker would.
constexpr double TRACK_THRESHOLD = 0.001;

constexpr double NOISE_FLOOR = 0.003;
constexpr double BREATH_NOISE = 0.02;  // scaled by the envelope
constexpr double ATTACK_NOISE = 0.25;
constexpr double ATTACK_NOISE_DECAY = 0.06;
// Harmonic energy at which the pitch estimate is half confident, even with no noise at all.
constexpr double DETECTION_ENERGY = 0.001;
constexpr double SUBHARMONIC_CONFIDENCE = 0.3;

// Bin k covers k * 44100 / 1024 Hz (about 43 Hz), so 128 bins span 0 to about 5.5 kHz and hold
// all twelve partials even at the top of the glide.
constexpr int FFT_SIZE = 1024;
constexpr int BIN_COUNT = 128;

// 0 below x = 0, 1 above x = 1, a half cosine in between.
double smooth_step(double x) {
  if (x <= 0.0) return 0.0;
  if (x >= 1.0) return 1.0;
  return 0.5 - 0.5 * std::cos(PI * x);
}

double envelope(double t) {
  if (t < ONSET || t >= RELEASE_END) return 0.0;
  if (t < ATTACK_END) return smooth_step((t - ONSET) / (ATTACK_END - ONSET));
  if (t < RELEASE_START) return 1.0 - (1.0 - SUSTAIN_LEVEL) * smooth_step((t - ATTACK_END) / (DECAY_END - ATTACK_END));
  return SUSTAIN_LEVEL * (1.0 - smooth_step((t - RELEASE_START) / (RELEASE_END - RELEASE_START)));
}

// The glide is smooth in log frequency so that it sounds even across the fifth.
double fundamental(double t) {
  double glide = F0_LOW * std::pow(F0_HIGH / F0_LOW, smooth_step((t - GLIDE_START) / (GLIDE_END - GLIDE_START)));
  double depth = VIBRATO_DEPTH * smooth_step((t - VIBRATO_FADE_START) / (VIBRATO_FADE_END - VIBRATO_FADE_START));
  return glide * (1.0 + depth * std::sin(2.0 * PI * VIBRATO_RATE * t));
}

double partial_window(int k, double t) {
  if (k < FIRST_WINDOWED_PARTIAL) return 1.0;
  int i = k - FIRST_WINDOWED_PARTIAL;
  double fade_in = smooth_step((t - WINDOW_ON[i]) / WINDOW_FADE);
  double fade_out = smooth_step((t - (WINDOW_OFF[i] - WINDOW_FADE)) / WINDOW_FADE);
  return fade_in * (1.0 - fade_out);
}

double partial_amplitude(int k, double t) {
  return PEAK_AMPLITUDE * envelope(t) * partial_window(k, t) / k;
}

double noise_level(double t) {
  double level = NOISE_FLOOR + BREATH_NOISE * envelope(t);
  if (t >= ONSET) level += ATTACK_NOISE * std::exp(-(t - ONSET) / ATTACK_NOISE_DECAY);
  return level;
}

// A 32-bit linear congruential generator: unlike the standard distributions, it yields the same
// numbers with every compiler and library.
class UniformNoise {
 public:
  // Uniform in [-1, 1).
  double next() {
    state = state * 1664525u + 1013904223u;
    return double(state >> 8) / double(1u << 23) - 1.0;
  }

 private:
  uint32_t state = 20240601u;
};

struct Sound {
  std::vector<double> samples;
  // Unwrapped phase of the fundamental at every sample; partial k has k times this phase.
  std::vector<double> phase;
};

Sound synthesise() {
  Sound sound;
  sound.samples.resize(SAMPLE_COUNT);
  sound.phase.resize(SAMPLE_COUNT);
  UniformNoise noise;
  double phase = 0.0;
  for (int n = 0; n < SAMPLE_COUNT; n++) {
    double t = n / SAMPLE_RATE;
    double value = noise_level(t) * noise.next();
    for (int k = 1; k <= PARTIAL_COUNT; k++) value += partial_amplitude(k, t) * std::sin(k * phase);
    sound.samples[n] = value;
    sound.phase[n] = phase;
    // Integrating the frequency keeps the waveform continuous through the glide and vibrato.
    phase += 2.0 * PI * fundamental(t) / SAMPLE_RATE;
  }
  return sound;
}

// Harmonic-to-noise ratio turned into 0..1: near 1 while the tone sustains, lower in the noisy
// attack and the fading release, 0 in silence.
double pitch_confidence(double t) {
  double harmonic = 0.0;
  for (int k = 1; k <= PARTIAL_COUNT; k++) harmonic += 0.5 * partial_amplitude(k, t) * partial_amplitude(k, t);
  double level = noise_level(t);
  double noise = level * level / 3.0;  // variance of the uniform noise
  return harmonic / (harmonic + noise + DETECTION_ENERGY);
}

// Row 0 is the estimate; row 1 the period-doubled candidate that a lag-domain estimator also
// scores, so the file has a second, fainter pitch trace. The frequency stays non-zero in silence
// because a zero would drag the interpolated trace to 0 Hz.
void write_pitch_frame(SdifWriter& writer, double t) {
  double f0 = fundamental(t);
  double confidence = pitch_confidence(t);
  writer.begin_frame("1FQ0", t, PITCH_STREAM, 1);
  writer.matrix_f32("1FQ0", 2, 2,
                    {float(f0), float(confidence), float(0.5 * f0), float(SUBHARMONIC_CONFIDENCE * confidence)});
  writer.end_frame();
}

// Rows are [track index, frequency, amplitude, phase]; the phase is that of the partial's sine
// at the frame time, in [-pi, pi]. Silent frames keep an empty matrix so that tracks fade out
// in the view instead of holding their last value to the end.
void write_track_frame(SdifWriter& writer, double t, double fundamental_phase) {
  double f0 = fundamental(t);
  std::vector<float> rows;
  int row_count = 0;
  for (int k = 1; k <= PARTIAL_COUNT; k++) {
    double amplitude = partial_amplitude(k, t);
    if (amplitude < TRACK_THRESHOLD) continue;
    double phase = std::remainder(k * fundamental_phase, 2.0 * PI);
    rows.insert(rows.end(), {float(k), float(k * f0), float(amplitude), float(phase)});
    row_count++;
  }
  writer.begin_frame("1TRC", t, TRACK_STREAM, 1);
  writer.matrix_f32("1TRC", row_count, 4, rows);
  writer.end_frame();
}

// Hann-windowed DFT of the lowest BIN_COUNT bins; a direct sum over a twiddle table costs little
// for a quarter of the spectrum and keeps the summation order fixed.
class SpectrumAnalyser {
 public:
  SpectrumAnalyser() : window(FFT_SIZE), cosines(FFT_SIZE), sines(FFT_SIZE) {
    double window_sum = 0.0;
    for (int m = 0; m < FFT_SIZE; m++) {
      double angle = 2.0 * PI * m / FFT_SIZE;
      window[m] = 0.5 - 0.5 * std::cos(angle);
      cosines[m] = std::cos(angle);
      sines[m] = std::sin(angle);
      window_sum += window[m];
    }
    // A sinusoid of amplitude A centred on a bin then has magnitude A there, which keeps the
    // partials inside the viewer's 0..1 intensity range.
    scale = 2.0 / window_sum;
  }

  // Real and imaginary parts, bin after bin, of the window centred on sample `centre`; samples
  // outside the sound count as silence.
  std::vector<float> analyse(const std::vector<double>& samples, int centre) const {
    std::vector<double> frame(FFT_SIZE, 0.0);
    for (int m = 0; m < FFT_SIZE; m++) {
      int n = centre - FFT_SIZE / 2 + m;
      if (n >= 0 && n < int(samples.size())) frame[m] = window[m] * samples[n];
    }
    std::vector<float> bins;
    bins.reserve(2 * BIN_COUNT);
    for (int k = 0; k < BIN_COUNT; k++) {
      double re = 0.0;
      double im = 0.0;
      for (int m = 0; m < FFT_SIZE; m++) {
        int j = (k * m) % FFT_SIZE;
        re += frame[m] * cosines[j];
        im -= frame[m] * sines[j];
      }
      bins.push_back(float(scale * re));
      bins.push_back(float(scale * im));
    }
    return bins;
  }

 private:
  std::vector<double> window;
  std::vector<double> cosines;
  std::vector<double> sines;
  double scale;
};

// The first matrix tells a reader how the bins map to hertz: [sample rate, window size, FFT size].
void write_spectrum_frame(SdifWriter& writer, double t, const std::vector<float>& bins) {
  writer.begin_frame("1STF", t, SPECTRUM_STREAM, 2);
  writer.matrix_f32("ISTF", 1, 3, {float(SAMPLE_RATE), float(FFT_SIZE), float(FFT_SIZE)});
  writer.matrix_f32("1STF", BIN_COUNT, 2, bins);
  writer.end_frame();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-example OUTPUT_PATH\n");
    return 1;
  }
  Sound sound = synthesise();
  SpectrumAnalyser analyser;
  SdifWriter writer;
  writer.file_header();
  // All three streams share the frame times, written in time order.
  for (int centre = 0; centre < SAMPLE_COUNT; centre += HOP) {
    double t = centre / SAMPLE_RATE;
    write_pitch_frame(writer, t);
    write_track_frame(writer, t, sound.phase[centre]);
    write_spectrum_frame(writer, t, analyser.analyse(sound.samples, centre));
  }
  if (!writer.save(argv[1])) {
    std::fprintf(stderr, "make-example: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
