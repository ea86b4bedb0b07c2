// Tests that the track view draws as a plain sampling from maps of each frame's partials: random
// streams with indices far past 255, negative, repeated, NaN, infinite or beyond the int range, drawn
// whole, zoomed and whole again; and the bound on the indices a frame gives. No display.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <random>
#include <tuple>
#include <utility>

#include "tests/support/test_files.h"
#include "views/pixel_canvas.h"
#include "views/track_view.h"

namespace {

using Partials = std::map<int32_t, std::pair<double, double>>;

// One frame's partials as a map from track index to frequency and amplitude: each row in turn, so the
// later of two rows with one index stays. Indices are truncated toward zero; those without an int
// are left out. The streams below are written as doubles.
Partials partials(const SdifFrame* frame) {
  Partials found;
  const SdifMatrix* m = frame ? frame->matrices : nullptr;
  for (int r = 0; m && m->columns >= 3 && r < m->rows; ++r) {
    double index = 0, frequency = 0, amplitude = 0;
    m->element_as_double(0, r, index);
    m->element_as_double(1, r, frequency);
    m->element_as_double(2, r, amplitude);
    if (index > -2147483649.0 && index < 2147483648.0) found[int32_t(index)] = {frequency, amplitude};
  }
  return found;
}

// Each trace's point in the previous column, in maps made for each drawing.
struct MapPoints {
  std::map<int32_t, int> previous, current;
  void next_column() { previous = std::exchange(current, {}); }
  int before(int32_t key) { return previous.count(key) ? previous[key] : no_point; }
  void set(int32_t key, int y) {
    if (y != no_point) current[key] = y;
  }
};

// The track view's sampling done the plain way, from both frames' maps at every column. The streams
// below hold only frequencies and amplitudes that floats represent exactly, so that it can work in
// double throughout.
struct PlainTrackView : SdifView {
  using SdifView::SdifView;
  using Points = MapPoints;

  template <class Draw>
  void sample_traces(double t, Draw draw) {
    double w;
    SdifFrame* current = frame_pair(t, w);
    Partials column;
    for (const auto& [k, partial] : partials(current)) column[k] = {partial.first, (1 - w) * partial.second};
    for (const auto& [k, partial] : partials(current ? current->next_in_stream : nullptr)) {
      auto& [frequency, amplitude] = column[k];
      bool both = present(frequency) && present(partial.first);
      frequency = both ? (1 - w) * frequency + w * partial.first : partial.first;
      amplitude += w * partial.second;
    }
    for (const auto& [k, value] : column) draw(k, value.first, value.second);
  }
};

}  // namespace

TEST(TrackSlots, PicturesMatchAPlainSamplingOfEachFramesPartials) {
  // Where each seed's indices lie: around the slots, far past them, below zero and at the int range's top.
  const double offsets[] = {0, 0, 1e6, -5000, 2147483000};
  for (unsigned seed = 1; seed <= 15; ++seed) {
    std::mt19937 random(seed);
    auto uniform = [&](double low, double high) { return std::uniform_real_distribution<>(low, high)(random); };
    SdifWriter w;
    w.file_header();
    double time = 0, offset = offsets[seed % 5];
    for (int f = 0; f < 30; ++f) {
      // Some frames share a time, and some have only two columns: no partials. Indices grow through
      // the stream in a band of 300, so they repeat within a frame and carry over to the next frames;
      // now and then one is NaN, infinite or beyond the int range.
      time += uniform(0, 1) < 0.1 ? 0 : uniform(0.001, 0.1);
      int rows = int(uniform(0, 400)), columns = uniform(0, 1) < 0.1 ? 2 : 3;
      std::vector<double> elements;
      for (int r = 0; r < rows * columns; ++r) {
        double odd[] = {NAN, INFINITY, -3e9, 3e9};
        double index = uniform(0, 1) < 0.02 ? odd[random() % 4] : offset + uniform(-20.5, 280) + (seed % 2 ? 8 * f : 0);
        double value = uniform(0, 1) < 0.1 ? 0 : std::floor(uniform(0, 1) * 1024) / 1024;
        elements.push_back(r % columns == 0 ? index : r % columns == 1 ? std::floor(value * 22050 * 4) / 4 : value);
      }
      w.begin_frame("1TRC", time, 1, 1).matrix_f64("1TRC", rows, columns, elements).end_frame();
    }
    LoadedStream s(w, "1TRC");
    TrackView view(0, 0, 157, 83, &s.cursor);
    PlainTrackView plain(0, 0, 157, 83, &s.cursor);
    plain.contrast_curve = std::make_unique<ContrastCurve>(0.3f);
    plain.colors.set(AmplitudeScale::Curve, ColorMap::Ramp, *plain.contrast_curve);
    // Last, a single column: points alone, none joined to a column before it.
    for (auto [position, size, width] : {std::tuple{0.0f, 1.0f, 157}, {0.4f, 0.05f, 157}, {0.0f, 1.0f, 157}, {0.6f, 0.1f, 1}}) {
      view.time_position = plain.time_position = position;
      view.time_size = plain.time_size = size;
      view.size(width, 83);
      plain.size(width, 83);
      std::vector<uint32_t> drawn, expected;
      PixelCanvas canvas(0, 0, width, 83, drawn), plain_canvas(0, 0, width, 83, expected);
      view.paint(canvas);
      paint_traces(plain, plain_canvas, panel_spec(VIEW_TRACKS).full_range);
      ASSERT_EQ(drawn, expected) << "seed " << seed << ", time " << position << " + " << size;
    }
  }
}

TEST(TrackSlots, AFrameGivesTheFirstIndicesMetUpToTheBound) {
  // Distinct indices shuffled, in order, or in order and then shuffled, then rows that repeat two kept
  // indices and one left out: the first MOST_PARTIALS met stay, each with its last row, ascending.
  std::mt19937 random(3);
  for (int shape = 0; shape < 3; ++shape) {
    std::vector<int32_t> rows(MOST_PARTIALS + 900), elements;
    std::iota(rows.begin(), rows.end(), -450);
    if (shape != 1) std::shuffle(rows.begin() + (shape == 2 ? MOST_PARTIALS - 10 : 0), rows.end(), random);
    rows.insert(rows.end(), {rows[5], rows[0], rows[MOST_PARTIALS + 3]});
    std::map<int32_t, float> expected;
    for (size_t r = 0; r < rows.size(); ++r) {
      elements.insert(elements.end(), {rows[r], int32_t(r), 1});
      if (r < MOST_PARTIALS || expected.count(rows[r])) expected[rows[r]] = float(r);
    }
    SdifWriter w;
    w.file_header().begin_frame("1TRC", 0, 1, 1).matrix_i32("1TRC", int(rows.size()), 3, elements).end_frame();
    std::vector<Partial> read;
    PartialReader().read(*LoadedStream(w, "1TRC").cursor.first, read);
    std::map<int32_t, float> got;
    for (const Partial& p : read) got.emplace_hint(got.end(), p.index, p.frequency);
    auto ascending = [](const Partial& a, const Partial& b) { return a.index < b.index; };
    EXPECT_TRUE(got == expected && std::is_sorted(read.begin(), read.end(), ascending) && read.size() == got.size())
        << "shape " << shape;
  }
}
