// Tests of the synthesis in memory: the recursive bank against sines summed in double precision, and
// the partials' bound and counts. What a written sound file holds is tested in tests/synth/.
#include "synthesis/synthesizer.h"

#include <cmath>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double RATE = 44100.0;

struct Row {
  double index, frequency, amplitude;
};
struct Frame {
  double time;
  std::vector<Row> rows;
};

std::vector<float> synthesize(const std::vector<Frame>& frames) {
  Synthesizer synthesizer(SoundSettings{});
  std::vector<float> sound;
  float block[1000];
  auto drain = [&] {
    while (size_t n = synthesizer.render(block, 1000)) sound.insert(sound.end(), block, block + n);
  };
  for (const Frame& frame : frames) {
    synthesizer.begin_frame(frame.time);
    for (const Row& row : frame.rows) synthesizer.add_partial(row.index, row.frequency, row.amplitude);
    synthesizer.end_frame();
    drain();
  }
  synthesizer.finish();
  drain();
  return sound;
}

// The sound of partials matched by index between frames, each sample's phase the sum of the
// frequencies of the samples before it, summed with std::sin in double precision.
double exact_sample(const std::vector<Frame>& frames, std::vector<double>& phases, double t) {
  size_t k = 0;
  while (frames[k + 1].time <= t) k++;
  double w = (t - frames[k].time) / (frames[k + 1].time - frames[k].time);
  double sum = 0;
  for (size_t i = 0; i < frames[k].rows.size(); ++i) {
    const Row &a = frames[k].rows[i], &b = frames[k + 1].rows[i];
    sum += (a.amplitude + (b.amplitude - a.amplitude) * w) * std::sin(phases[i]);
    phases[i] += 2 * PI * (a.frequency + (b.frequency - a.frequency) * w) / RATE;
  }
  return sum;
}

TEST(Synthesizer, GlidesMatchSinesSummedInDoublePrecision) {
  // Three partials over frames of uneven spacing, none on a sample, gliding up and down by up to an
  // octave per frame, for two seconds: long enough for any drift of the recursion to show.
  std::vector<Frame> frames;
  for (int f = 0; f <= 300; ++f) {
    double wobble = std::sin(f * 0.37);
    frames.push_back({0.2 + f * 0.0061 + 0.0013 * (f % 3),
                      {{1, 300 + 150 * wobble, 0.3 + 0.1 * wobble},
                       {2, 2500 * std::pow(2.0, wobble), 0.2},
                       {3, 17000 + 3000 * wobble, 0.1 * (f % 2)}}});
  }
  std::vector<float> sound = synthesize(frames);
  ASSERT_EQ(sound.size(), size_t(std::ceil((frames.back().time + EDGE_FADE - 0.2) * RATE)));
  std::vector<double> phases(3, 0.0);
  double worst = 0;
  // Past the first frame's fade-in and up to the last frame, where the hold and fade-out begin.
  for (size_t n = 0; 0.2 + n / RATE < frames.back().time; ++n) {
    double exact = exact_sample(frames, phases, 0.2 + n / RATE);
    if (n / RATE > EDGE_FADE) worst = std::max(worst, std::fabs(sound[n] - exact));
  }
  EXPECT_LT(worst, 5e-5);
}

TEST(PartialTracks, KeepsTheBoundAndCountsWhatItSkips) {
  PartialTracks tracks(RATE);
  auto frame = [&](int first, int last) {
    tracks.begin_frame();
    for (int index = first; index < last; ++index) tracks.add_row(index, 1000, 0.1);
    tracks.end_frame();
  };
  tracks.begin_frame();
  // Truncated toward zero: -0.9, 0.4 and 0 are one index, the row count none of the others.
  for (double index : {-0.9, 0.4, 0.0, double(NAN), double(INFINITY), -double(INFINITY), 2147483648.0, -2147483649.0})
    tracks.add_row(index, 500, 0.5);
  tracks.add_row(2147483647.0, 500, 0.5);
  tracks.add_row(-2147483648.0, 500, 0.5);
  tracks.end_frame();
  EXPECT_EQ(std::make_tuple(tracks.counts().started, tracks.counts().rows_without_index), std::make_tuple(3u, 5u));

  // The three above die in this pair and hold three of its places: 13 rows find none.
  frame(1, MAX_PARTIALS + 11);
  // Once they are gone, 3 of these 20 find a place.
  frame(MAX_PARTIALS, MAX_PARTIALS + 20);
  frame(0, 3);
  const PartialCounts& counts = tracks.counts();
  EXPECT_EQ(std::make_tuple(counts.started, counts.most_at_once, counts.rows_beyond_limit),
            std::make_tuple(uint64_t(MAX_PARTIALS + 6), MAX_PARTIALS, uint64_t(13 + 17)));
}

}  // namespace
