// Tests that the track view's frame slots leave its pictures as reading every row in every column
// makes them: random streams with repeated indices, indices beyond the slots, frames without partials
// and more frames than the slot cache holds, drawn whole, zoomed and whole again. No display.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/support/loaded_stream.h"
#include "views/pixel_canvas.h"
#include "views/track_view.h"

namespace {

// The track view's sampling done the plain way: every row of both frames for every column; in the
// next frame a row counts only when no later row of that frame has its index.
struct EveryRowTrackView : SdifView {
  EveryRowTrackView(int w, int h, SdifStreamCursor* cursor) : SdifView(0, 0, w, h, cursor) {
    contrast_curve = std::make_unique<ContrastCurve>(0.3f);
  }

  void sample_column(double t, SlotValues& frequencies, SlotValues& amplitudes) {
    double w;
    SdifFrame* current = frame_pair(t, w);
    frequencies.fill(0.0);
    amplitudes.fill(0.0);
    if (!current) return;
    for (const Row& row : rows_of(*current)) {
      frequencies[row.index] = row.frequency;
      amplitudes[row.index] = (1 - w) * row.amplitude;
    }
    if (!current->next_in_stream) return;
    for (const Row& row : rows_of(*current->next_in_stream)) {
      if (!row.last) continue;
      bool both = present(frequencies[row.index]) && present(row.frequency);
      frequencies[row.index] = both ? (1 - w) * frequencies[row.index] + w * row.frequency : row.frequency;
      amplitudes[row.index] += w * float(row.amplitude);
    }
  }

  struct Row {
    int32_t index;
    float frequency;
    double amplitude;
    bool last;
  };
  static std::vector<Row> rows_of(const SdifFrame& frame) {
    std::vector<Row> rows;
    const SdifMatrix* m = frame.matrices;
    for (int r = 0; m && m->columns >= 3 && r < m->rows; ++r) {
      Row row{-1, 0, 0, true};
      m->element_as_int(0, r, row.index);
      m->element_as_float(1, r, row.frequency);
      m->element_as_double(2, r, row.amplitude);
      for (Row& earlier : rows) earlier.last &= earlier.index != row.index;
      rows.push_back(row);
    }
    rows.erase(std::remove_if(rows.begin(), rows.end(), [](const Row& row) { return row.index < 0 || row.index >= SLOTS; }),
               rows.end());
    return rows;
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
      // Some frames share a time, and some have only two columns: no partials.
      time += uniform(0, 1) < 0.1 ? 0 : uniform(0.001, 0.1);
      int rows = int(uniform(0, 400)), columns = uniform(0, 1) < 0.1 ? 2 : 3;
      std::vector<double> elements;
      for (int r = 0; r < rows * columns; ++r) {
        // Indices in a band of 300 around the slots repeat within a frame and fall beyond them.
        double index = seed % 2 ? uniform(-20.5, 280) : uniform(0, 40);
        double value = uniform(0, 1) < 0.1 ? 0 : uniform(0, 1);
        elements.push_back(r % columns == 0 ? index : r % columns == 1 ? value * 22050 : value);
      }
      w.begin_frame("1TRC", time, 1, 1).matrix_f64("1TRC", rows, columns, elements).end_frame();
    }
    LoadedStream s(w, "1TRC");
    TrackView view(0, 0, 157, 83, &s.cursor);
    EveryRowTrackView plain(157, 83, &s.cursor);
    for (auto [position, size] : {std::pair{0.0f, 1.0f}, {0.4f, 0.05f}, {0.0f, 1.0f}}) {
      view.time_position = plain.time_position = position;
      view.time_size = plain.time_size = size;
      std::vector<uint32_t> drawn, expected;
      PixelCanvas canvas(0, 0, 157, 83, drawn), plain_canvas(0, 0, 157, 83, expected);
      view.paint(canvas);
      paint_traces(plain, plain_canvas, TrackView::FULL_RANGE);
      ASSERT_EQ(drawn, expected) << "seed " << seed << ", time " << position << " + " << size;
    }
  }
}
