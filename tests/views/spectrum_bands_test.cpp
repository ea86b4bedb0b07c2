// Tests that the residual view draws spectra of more than 256 bins as a plain painting of every bin
// at every column does: a band per bin where bins are a pixel row tall or more, and where several
// share a pixel row, that row in the largest of their magnitudes in each frame, blended between the
// frames. Spectra of 257, 1025 and 4097 bins with isolated strong bins, at several heights and zooms.
// No display.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "tests/support/test_files.h"
#include "views/pixel_canvas.h"
#include "views/residual_view.h"

namespace {

// The magnitude of bin k of the frame's spectrum as the current (now) or the next frame of a pair
// reads it; none when the frame's spectrum has no such bin.
bool magnitude(const SdifFrame* frame, int k, bool now, double& m) {
  const SdifMatrix* spectrum = frame && frame->matrices ? frame->matrices->next : nullptr;
  if (!spectrum || k >= spectrum->rows) return false;
  float re = 0, im_float = 0;
  double im = 0;
  spectrum->element_as_float(0, k, re);
  spectrum->element_as_float(1, k, im_float);
  spectrum->element_as_double(1, k, im);
  if (!now) im = im_float;
  m = std::sqrt(double(re) * re + im * im);
  return true;
}

struct PlainResidualView : SdifView {
  using SdifView::SdifView;

  void paint(PixelCanvas& canvas) {
    canvas.color(FL_BLACK);
    canvas.rectf(x(), y(), w(), h());
    int bins = int(full_vertical_range(panel_spec(VIEW_RESIDUAL), *cursor));
    double row_height = h() / double(float(bins)) / vertical_size;
    int shift = int(std::trunc(double(float(bins)) * vertical_position));
    double t, dt, weight;
    start_columns(t, dt);
    canvas.push_clip(x(), y(), w(), h());
    for (int column = x(); column < x() + w(); ++column, t += dt) {
      const SdifFrame* a = frame_pair(t, weight);
      const SdifFrame* b = a->next_in_stream;
      // Window rows from y() - 1 to y() + h(): each one's largest magnitude now and next.
      std::vector<double> now(h() + 2, 0.0), next(h() + 2, 0.0);
      for (int j = std::max(0, -shift); j + shift < bins; ++j) {
        int bottom = rows().row_above_bottom(j * row_height), top = rows().row_above_bottom((j + 1) * row_height);
        double ma = 0, mb = 0, m = 0;
        bool in_a = magnitude(a, j + shift, true, ma), in_b = magnitude(b, j + shift, false, mb);
        if (bins <= SLOTS || row_height >= 1) {
          if (in_a) m = (1 - weight) * ma;
          if (in_b) m = m + weight * mb;
          if (!present(m)) continue;
          canvas.color(contrast_curve->color_index(m));
          canvas.yxline(column, bottom, top);
          continue;
        }
        for (int row = top; row <= bottom; ++row) {
          if (in_a && ma > now[row - y() + 1]) now[row - y() + 1] = ma;
          if (in_b && mb > next[row - y() + 1]) next[row - y() + 1] = mb;
        }
      }
      if (bins <= SLOTS || row_height >= 1) continue;
      for (int row = y() - 1; row <= y() + h(); ++row) {
        double m = (1 - weight) * now[row - y() + 1] + (b ? weight * next[row - y() + 1] : 0.0);
        if (!present(m)) continue;
        canvas.color(contrast_curve->color_index(m));
        canvas.yxline(column, row, row);
      }
    }
    canvas.pop_clip();
  }
};

}  // namespace

TEST(SpectrumBands, PicturesMatchAPlainPaintingOfEveryBin) {
  std::mt19937 random(5);
  auto uniform = [&](double low, double high) { return std::uniform_real_distribution<>(low, high)(random); };
  for (int bins : {257, 1025, 4097}) {
    // A weak floor with zeros in it, a few strong bins that move from frame to frame, and one strong
    // bin that stays, its neighbours weak; the fourth frame's spectrum is shorter.
    const int steady = bins == 257 ? 200 : 800;
    SdifWriter file;
    file.file_header();
    for (int f = 0; f < 6; ++f) {
      int rows = f == 3 ? bins - 40 : bins;
      std::vector<float> elements;
      for (int k = 0; k < rows; ++k) {
        double m = uniform(0, 1) < 0.2 ? 0 : uniform(0, 0.03);
        if (k == steady || uniform(0, 1) < 4.0 / bins) m = k == steady ? 1.0 : uniform(0.5, 1.0);
        elements.insert(elements.end(), {float(m * 0.6), float(m * 0.8)});
      }
      file.begin_frame("1STF", 0.1 * f, 1, 2).matrix_f32("ISTF", 1, 1, {1});
      file.matrix_f32("1STF", rows, 2, elements).end_frame();
    }
    LoadedStream s(file, "1STF");
    for (int height : {37, 300}) {
      ResidualView view(4, 6, 50, height, &s.cursor);
      PlainResidualView plain(4, 6, 50, height, &s.cursor);
      plain.contrast_curve = std::make_unique<ContrastCurve>(0.5f);
      const float zooms[][4] = {{0, 1, 0, 1}, {0.25f, 0.3f, 0, 1}, {0, 1, 0.5f, 0.08f}, {0.25f, 0.3f, 0.77f, 0.3f},
                                {0, 1, 0, 1}};
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
        // The steady bin's lower edge shows it at full strength in every column, wherever it is in view.
        int row = view.rows().row_above_bottom((steady - std::trunc(float(bins) * zoom[2])) * (height / double(float(bins)) / zoom[3]));
        uint32_t strong = pixel_of(view.contrast_curve->color_index(1.0));
        for (int x = 4; row >= 6 && row < 6 + height && x < 54; ++x)
          ASSERT_EQ(std::memcmp(canvas.pixel(x, row), &strong, 3), 0) << "column " << x << ", row " << row;
      }
    }
  }
}
