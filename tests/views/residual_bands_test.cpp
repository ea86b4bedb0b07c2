// Tests that the residual view draws spectra of more than 256 bins as a plain painting of every bin at
// every column does: a band per bin where bins are a pixel row tall or more, and where several share a
// pixel row, that row in the largest of their magnitudes in each frame, blended. No display.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "tests/support/test_files.h"
#include "views/pixel_canvas.h"
#include "views/residual_view.h"

namespace {

// Bin k's magnitude as the current (now) or the next frame of a pair reads it; false without that bin.
bool magnitude(const SdifFrame* frame, int k, bool now, double& m) {
  const SdifMatrix* s = frame && frame->matrices ? frame->matrices->next : nullptr;
  if (!s || k >= s->rows) return false;
  float re = 0, narrow = 0;
  double im = 0;
  s->element_as_float(0, k, re);
  s->element_as_float(1, k, narrow);
  s->element_as_double(1, k, im);
  m = std::sqrt(double(re) * re + (now ? im * im : double(narrow) * narrow));
  return true;
}

struct PlainResidualView : SdifView {
  using SdifView::SdifView;

  void paint(PixelCanvas& canvas) {
    canvas.color(FL_BLACK);
    canvas.rectf(x(), y(), w(), h());
    int bins = int(full_vertical_range(panel_spec(VIEW_RESIDUAL), *cursor)), shift = int(double(float(bins)) * vertical_position);
    double row_height = h() / double(float(bins)) / vertical_size, t, dt, weight;
    bool bands = bins <= SLOTS || row_height >= 1;
    start_columns(t, dt);
    canvas.push_clip(x(), y(), w(), h());
    for (int column = x(); column < x() + w(); ++column, t += dt) {
      const SdifFrame* a = frame_pair(t, weight);
      // Window rows from y() - 1 to y() + h(): the magnitude each shows, and its largest now and next.
      std::vector<double> shown(h() + 2, 0.0), now(h() + 2, 0.0), next(h() + 2, 0.0);
      for (int j = std::max(0, -shift); j + shift < bins; ++j) {
        double ma = 0, mb = 0;
        bool in_a = magnitude(a, j + shift, true, ma), in_b = magnitude(a->next_in_stream, j + shift, false, mb);
        double band = in_b ? (in_a ? (1 - weight) * ma : 0.0) + weight * mb : (1 - weight) * ma;
        int top = rows().row_above_bottom((j + 1) * row_height) - y() + 1;
        for (int row = top; row <= rows().row_above_bottom(j * row_height) - y() + 1; ++row) {
          if (bands && (in_a || in_b) && present(band)) shown[row] = band;
          if (in_a) now[row] = std::max(now[row], ma);
          if (in_b) next[row] = std::max(next[row], mb);
        }
      }
      for (int row = 0; row < h() + 2; ++row) {
        double m = bands ? shown[row] : (1 - weight) * now[row] + (a->next_in_stream ? weight * next[row] : 0.0);
        if (!present(m)) continue;
        canvas.color(contrast_curve->color_index(m));
        canvas.yxline(column, row + y() - 1, row + y() - 1);
      }
    }
    canvas.pop_clip();
  }
};

}  // namespace

TEST(ResidualBands, PicturesMatchAPlainPaintingOfEveryBin) {
  std::mt19937 random(5);
  auto uniform = [&](double low, double high) { return std::uniform_real_distribution<>(low, high)(random); };
  for (int bins : {257, 1025, 4097}) {
    // A weak floor with zeros, strong bins that move from frame to frame and one that stays, among weak
    // neighbours; the fourth frame's spectrum is shorter. Doubles, which the two frames of a pair read
    // in different precisions.
    const int steady = bins == 257 ? 200 : 800;
    SdifWriter file;
    file.file_header();
    for (int f = 0; f < 6; ++f) {
      std::vector<double> elements;
      for (int k = 0; k < (f == 3 ? bins - 40 : bins); ++k) {
        double m = k == steady ? 1 : uniform(0, 1) < 4.0 / bins ? uniform(0.5, 1) : uniform(0, 1) < 0.2 ? 0 : uniform(0, 0.03);
        elements.insert(elements.end(), {m * 0.6, m * 0.8});
      }
      file.begin_frame("1STF", 0.1 * f, 1, 2).matrix_f32("ISTF", 1, 1, {1});
      file.matrix_f64("1STF", int(elements.size() / 2), 2, elements).end_frame();
    }
    LoadedStream s(file, "1STF");
    for (int height : {37, 300}) {
      ResidualView view(4, 6, 50, height, &s.cursor);
      PlainResidualView plain(4, 6, 50, height, &s.cursor);
      plain.contrast_curve = std::make_unique<ContrastCurve>(0.5f);
      const float zooms[][4] = {{0, 1, 0, 1}, {0.25f, 0.3f, 0, 1}, {0, 1, 0.5f, 0.08f}, {0.25f, 0.3f, 0.77f, 0.3f}, {0, 1, 0, 1}};
      for (const auto& zoom : zooms) {
        view.time_position = plain.time_position = zoom[0];
        view.time_size = plain.time_size = zoom[1];
        view.vertical_position = plain.vertical_position = zoom[2];
        view.vertical_size = plain.vertical_size = zoom[3];
        std::vector<uint32_t> drawn, expected;
        PixelCanvas canvas(4, 6, 50, height, drawn), plain_canvas(4, 6, 50, height, expected);
        view.paint(canvas);
        plain.paint(plain_canvas);
        SCOPED_TRACE(testing::Message() << bins << " bins, height " << height << ", zoom " << zoom[2] << " + " << zoom[3]);
        ASSERT_EQ(drawn, expected);
        // The steady bin's lower edge shows it at full strength in every column where it is in view.
        int row = view.rows().row_above_bottom((steady - int(double(float(bins)) * zoom[2])) * (height / double(float(bins)) / zoom[3]));
        uint32_t strong = pixel_of(view.contrast_curve->color_index(1.0));
        for (int x = 4; row >= 6 && row < 6 + height && x < 54; ++x) ASSERT_EQ(std::memcmp(canvas.pixel(x, row), &strong, 3), 0);
        // And the probe there finds it: the highest bin of the row, or the strongest where bins share rows.
        Probe probe;
        if (row >= 6 && row < 6 + height) {
          ASSERT_TRUE(view.probe(30, row, probe) && probe.on_data);
          ASSERT_EQ(probe.key, steady);
        }
      }
    }
  }
}
