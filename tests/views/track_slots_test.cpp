// Tests that the track view's frame slots leave its pictures as reading every row in every column
// makes them: random streams with repeated indices, indices beyond the slots, frames without partials
// and more frames than the slot cache holds, drawn whole, zoomed and whole again. No display.
#include <gtest/gtest.h>

#include <random>

#include "tests/support/test_files.h"
#include "views/pixel_canvas.h"
#include "views/track_view.h"

namespace {

// The track view's sampling done the plain way: every row of both frames for every column; in the
// next frame a row counts only when no later row of that frame has its index.
struct EveryRowTrackView : SdifView {
  using SdifView::SdifView;

  void sample_column(double t, SlotValues& frequencies, SlotValues& amplitudes) {
    double w;
    SdifFrame* current = frame_pair(t, w);
    frequencies.fill(0.0);
    amplitudes.fill(0.0);
    for (SdifFrame* frame : {current, current ? current->next_in_stream : nullptr}) {
      const SdifMatrix* m = frame ? frame->matrices : nullptr;
      for (int r = 0; m && m->columns >= 3 && r < m->rows; ++r) {
        int32_t k = -1, later = -1;
        float f;
        double a;
        m->element_as_int(0, r, k);
        m->element_as_float(1, r, f);
        m->element_as_double(2, r, a);
        for (int l = r + 1; l < m->rows && later != k && frame != current; ++l) m->element_as_int(0, l, later);
        if (k < 0 || k >= SLOTS || later == k) continue;
        bool both = present(frequencies[k]) && present(f);
        frequencies[k] = frame == current ? f : both ? (1 - w) * frequencies[k] + w * f : f;
        amplitudes[k] = frame == current ? (1 - w) * a : amplitudes[k] + w * float(a);
      }
    }
  }
};

}  // namespace

TEST(TrackSlots, PicturesMatchReadingEveryRow) {
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
        double index = seed % 2 ? uniform(-20.5, 280) : uniform(0, 40), value = uniform(0, 1) < 0.1 ? 0 : uniform(0, 1);
        elements.push_back(r % columns == 0 ? index : r % columns == 1 ? value * 22050 : value);
      }
      w.begin_frame("1TRC", time, 1, 1).matrix_f64("1TRC", rows, columns, elements).end_frame();
    }
    LoadedStream s(w, "1TRC");
    TrackView view(0, 0, 157, 83, &s.cursor);
    EveryRowTrackView plain(0, 0, 157, 83, &s.cursor);
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
