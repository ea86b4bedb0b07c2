// Tests that the track view's frame slots leave its pictures as a plain sampling from maps of each
// frame's partials makes them: random streams with repeated indices, indices beyond the slots, frames
// without partials and more frames than the slot cache holds, drawn whole, zoomed and whole again.
// No display.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "tests/support/test_files.h"
#include "views/pixel_canvas.h"
#include "views/track_view.h"

namespace {

// One frame's partials as a map from track index to frequency and amplitude: each row in turn, so the
// later of two rows with one index stays.
std::map<int, std::pair<double, double>> partials(const SdifFrame* frame) {
  std::map<int, std::pair<double, double>> found;
  const SdifMatrix* m = frame ? frame->matrices : nullptr;
  for (int r = 0; m && m->columns >= 3 && r < m->rows; ++r) {
    int32_t index = -1;
    double frequency = 0, amplitude = 0;
    m->element_as_int(0, r, index);
    m->element_as_double(1, r, frequency);
    m->element_as_double(2, r, amplitude);
    if (index >= 0 && index < SLOTS) found[index] = {frequency, amplitude};
  }
  return found;
}

// The track view's sampling done the plain way, from both frames' maps at every column. The streams
// below hold only values that floats represent exactly, so that it can work in double throughout.
struct PlainTrackView : SdifView {
  using SdifView::SdifView;

  void sample_column(double t, SlotValues& frequencies, SlotValues& amplitudes) {
    double w;
    SdifFrame* current = frame_pair(t, w);
    frequencies.fill(0.0);
    amplitudes.fill(0.0);
    for (const auto& [k, partial] : partials(current)) {
      frequencies[k] = partial.first;
      amplitudes[k] = (1 - w) * partial.second;
    }
    for (const auto& [k, partial] : partials(current ? current->next_in_stream : nullptr)) {
      bool both = present(frequencies[k]) && present(partial.first);
      frequencies[k] = both ? (1 - w) * frequencies[k] + w * partial.first : partial.first;
      amplitudes[k] += w * partial.second;
    }
  }
};

}  // namespace

TEST(TrackSlots, PicturesMatchAPlainSamplingOfEachFramesPartials) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    std::mt19937 random(seed);
    auto uniform = [&](double low, double high) { return std::uniform_real_distribution<>(low, high)(random); };
    SdifWriter w;
    w.file_header();
    double time = 0;
    for (int f = 0; f < 30; ++f) {
      // Some frames share a time, and some have only two columns: no partials. Indices in a band of 300
      // around the slots repeat within a frame and fall beyond them.
      time += uniform(0, 1) < 0.1 ? 0 : uniform(0.001, 0.1);
      int rows = int(uniform(0, 400)), columns = uniform(0, 1) < 0.1 ? 2 : 3;
      std::vector<double> elements;
      for (int r = 0; r < rows * columns; ++r) {
        double index = seed % 2 ? uniform(-20.5, 280) : uniform(0, 40);
        double value = uniform(0, 1) < 0.1 ? 0 : std::floor(uniform(0, 1) * 1024) / 1024;
        elements.push_back(r % columns == 0 ? index : r % columns == 1 ? std::floor(value * 22050 * 4) / 4 : value);
      }
      w.begin_frame("1TRC", time, 1, 1).matrix_f64("1TRC", rows, columns, elements).end_frame();
    }
    LoadedStream s(w, "1TRC");
    TrackView view(0, 0, 157, 83, &s.cursor);
    PlainTrackView plain(0, 0, 157, 83, &s.cursor);
    plain.contrast_curve = std::make_unique<ContrastCurve>(0.3f);
    for (auto [position, size] : {std::pair{0.0f, 1.0f}, {0.4f, 0.05f}, {0.0f, 1.0f}}) {
      view.time_position = plain.time_position = position;
      view.time_size = plain.time_size = size;
      std::vector<uint32_t> drawn, expected;
      PixelCanvas canvas(0, 0, 157, 83, drawn), plain_canvas(0, 0, 157, 83, expected);
      view.paint(canvas);
      paint_traces(plain, plain_canvas, panel_spec(VIEW_TRACKS).full_range);
      ASSERT_EQ(drawn, expected) << "seed " << seed << ", time " << position << " + " << size;
    }
  }
}
