// Tests that the track view's frame slots leave its pictures as reading every row in every column
// makes them: on random streams with duplicate indices, indices beyond the slots, odd matrices and
// more frames than the slot cache holds, drawn twice, whole and zoomed. No display.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "tests/support/loaded_stream.h"
#include "views/pixel_canvas.h"
#include "views/track_view.h"

namespace {

// The track view's sampling done the plain way: every row of both frames for every column, and in the
// next frame a row counts only when no later row of that frame has its index.
class EveryRowTrackView : public SdifView {
 public:
  EveryRowTrackView(int w, int h, SdifStreamCursor* cursor) : SdifView(0, 0, w, h, cursor) {
    contrast_curve = std::make_unique<ContrastCurve>(0.3f);
  }

  void sample_column(double t, SlotValues& frequencies, SlotValues& amplitudes) {
    double w;
    SdifFrame* current = frame_pair(t, w);
    frequencies.fill(0.0);
    amplitudes.fill(0.0);
    if (!current) return;
    for_rows(*current, [&](int k, double f, double a, bool) {
      frequencies[k] = float(f);
      amplitudes[k] = (1 - w) * a;
    });
    if (!current->next_in_stream) return;
    for_rows(*current->next_in_stream, [&](int k, double f, double a, bool last) {
      if (!last) return;
      bool both = present(frequencies[k]) && present(float(f));
      frequencies[k] = both ? (1 - w) * frequencies[k] + w * float(f) : float(f);
      amplitudes[k] = amplitudes[k] + w * float(a);
    });
  }

 private:
  // Calls `take` with each in-range row's index, frequency, amplitude, and whether it is the last row
  // of its index, through the element accessors one element at a time.
  template <class Take>
  static void for_rows(const SdifFrame& frame, Take take) {
    const SdifMatrix* m = frame.matrices;
    if (!m || m->columns < 3 || m->with_elements([](auto) {}) == false) return;
    for (int row = 0; row < m->rows; ++row) {
      int32_t k = -1;
      m->element_as_int(0, row, k);
      if (k < 0 || k >= SLOTS) continue;
      bool last = true;
      for (int later = row + 1; later < m->rows; ++later) {
        int32_t other = -1;
        m->element_as_int(0, later, other);
        last &= other != k;
      }
      double f, a;
      m->element_as_double(1, row, f);
      m->element_as_double(2, row, a);
      take(k, f, a, last);
    }
  }
};

struct StreamShape {
  const char* name;
  int frames;
  int most_rows;
  double duplicate_share;  // of rows that repeat an index used earlier in the frame
  double beyond_share;     // of rows whose index names no slot
  bool odd_matrices;       // some frames without a matrix, with two columns or with bytes
};

// A random "1TRC" stream of that shape; element types vary from frame to frame.
SdifWriter random_stream(const StreamShape& shape, unsigned seed) {
  std::mt19937 random(seed);
  auto chance = [&](double p) { return std::uniform_real_distribution<>(0, 1)(random) < p; };
  SdifWriter w;
  w.file_header();
  double time = 0;
  for (int f = 0; f < shape.frames; ++f) {
    time += chance(0.1) ? 0.0 : std::uniform_real_distribution<>(0.001, 0.1)(random);
    int kind = std::uniform_int_distribution<>(0, shape.odd_matrices ? 6 : 3)(random);
    w.begin_frame("1TRC", time, 1, kind == 6 ? 0 : 1);
    int rows = std::uniform_int_distribution<>(0, shape.most_rows)(random);
    std::vector<double> elements;
    for (int r = 0; r < rows; ++r) {
      double index = std::uniform_int_distribution<>(0, SLOTS - 1)(random);
      if (r > 0 && chance(shape.duplicate_share)) index = elements[size_t(std::uniform_int_distribution<>(0, r - 1)(random)) * 3];
      if (chance(shape.beyond_share)) index = chance(0.5) ? -3.5 : SLOTS + r;
      double frequency = chance(0.1) ? 0.0 : std::uniform_real_distribution<>(0, 22050)(random);
      double amplitude = chance(0.1) ? 0.0 : chance(0.02) ? NAN : std::uniform_real_distribution<>(0, 1)(random);
      elements.insert(elements.end(), {index, frequency, amplitude});
    }
    auto as = [&](auto zero) {
      std::vector<decltype(zero)> converted;
      for (double e : elements) converted.push_back(decltype(zero)(std::isnan(e) ? 0 : e));
      return converted;
    };
    std::vector<float> floats;
    for (double e : elements) floats.push_back(float(e));
    switch (kind) {
      case 0: w.matrix_f32("1TRC", rows, 3, floats); break;
      case 1: w.matrix_f64("1TRC", rows, 3, elements); break;
      case 2: w.matrix_i32("1TRC", rows, 3, as(int32_t())); break;
      case 3: w.matrix_u32("1TRC", rows, 3, as(uint32_t())); break;
      case 4: w.matrix_f32("1TRC", rows * 3 / 2, 2, std::vector<float>(floats.begin(), floats.begin() + rows * 3 / 2 * 2)); break;
      case 5: w.matrix_header("1TRC", 0x0301, 1, 3).u8(1).u8(2).u8(3).pad(); break;
      default: break;  // no matrix
    }
    w.end_frame();
  }
  return w;
}

// Equal to the bit, or both NaN: which operand's NaN a product passes on is the compiler's choice.
bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

}  // namespace

TEST(TrackSlots, PicturesAndSamplesMatchReadingEveryRow) {
  const StreamShape shapes[] = {
      {"duplicate indices, the later row wins", 6, 300, 0.5, 0.0, false},
      {"indices beyond the slots", 6, 300, 0.0, 0.5, false},
      {"frames of more rows than slots, more frames than the cache", 40, 400, 0.3, 0.1, false},
      {"odd matrices among the frames", 30, 40, 0.1, 0.1, true},
      {"one frame", 1, 500, 0.2, 0.2, false},
  };
  for (const StreamShape& shape : shapes) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
      SCOPED_TRACE(std::string(shape.name) + ", seed " + std::to_string(seed));
      LoadedStream s(random_stream(shape, seed), "1TRC");
      TrackView view(0, 0, 157, 83, &s.cursor);
      EveryRowTrackView plain(157, 83, &s.cursor);
      // Whole, zoomed into the middle, then whole again from the slots the first drawings left.
      for (auto [position, size] : {std::pair{0.0f, 1.0f}, {0.4f, 0.05f}, {0.0f, 1.0f}}) {
        view.time_position = plain.time_position = position;
        view.time_size = plain.time_size = size;
        std::vector<uint32_t> drawn, expected;
        PixelCanvas canvas(0, 0, 157, 83, drawn), plain_canvas(0, 0, 157, 83, expected);
        view.paint(canvas);
        paint_traces(plain, plain_canvas, TrackView::FULL_RANGE);
        ASSERT_EQ(drawn, expected) << "time " << position << " + " << size;
      }
      // The samples themselves, to the bit, at the frame times and between them.
      double t, dt;
      ASSERT_TRUE(view.start_columns(t, dt));
      plain.start_columns(t, dt);
      for (int column = 0; column < 400; ++column, t += dt / 3) {
        SlotValues f, a, plain_f, plain_a;
        view.sample_column(t, f, a);
        plain.sample_column(t, plain_f, plain_a);
        for (int k = 0; k < SLOTS; ++k) {
          ASSERT_TRUE(same(f[k], plain_f[k])) << "t " << t << ", slot " << k << ": " << f[k] << " " << plain_f[k];
          ASSERT_TRUE(same(a[k], plain_a[k])) << "t " << t << ", slot " << k << ": " << a[k] << " " << plain_a[k];
        }
      }
    }
  }
}
