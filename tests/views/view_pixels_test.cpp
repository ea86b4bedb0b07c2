// Tests of the three views' pictures, drawn into the pixel canvas and read back as rows of letters:
// trace heights and colours, the staircase and its gaps, the rightmost column, bin bands, scrolling
// and zooming. No display: the canvas takes its colours from the toolkit's colour map.
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/test_files.h"
#include "views/pitch_view.h"
#include "views/pixel_canvas.h"
#include "views/residual_view.h"
#include "views/track_view.h"
#include "views/view_controls.h"

namespace {

using Picture = std::vector<std::string>;
using Legend = std::map<char, Fl_Color>;

// The canvas's picture of the rectangle, one string per pixel row from the top: '.' for black, the
// legend's letter for the colour it names, '?' for any other colour.
Picture rows_of(const PixelCanvas& canvas, int left, int top, int width, int height, const Legend& legend) {
  Picture rows(height, std::string(width, '?'));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = canvas.pixel(left + x, top + y);
      unsigned rgb = unsigned(p[0]) << 24 | unsigned(p[1]) << 16 | unsigned(p[2]) << 8;
      if (rgb == 0) rows[y][x] = '.';
      for (const auto& [name, colour] : legend)
        if (Fl::get_color(colour) == rgb) rows[y][x] = name;
    }
  return rows;
}

// One picture of a view at (10, 20): its size, fractions, the letters for the colours that its curve
// gives these amplitudes (which must differ), and its rows that are not black.
struct Shot {
  int width, height;
  float time_position, time_size, vertical_position, vertical_size;
  std::map<char, double> amplitudes;
  std::map<int, std::string> rows;
};

template <class View>
void expect_pictures(const SdifWriter& file, const char* type, std::initializer_list<Shot> shots) {
  LoadedStream s(file, type);
  for (const Shot& shot : shots) {
    View view(10, 20, shot.width, shot.height, &s.cursor);
    view.time_position = shot.time_position;
    view.time_size = shot.time_size;
    view.vertical_position = shot.vertical_position;
    view.vertical_size = shot.vertical_size;
    Legend legend;
    for (const auto& [name, amplitude] : shot.amplitudes) legend[name] = view.contrast_curve->color_index(amplitude);
    for (const auto& [name, index] : legend)
      for (const auto& [other, other_index] : legend) ASSERT_TRUE(name == other || index != other_index);
    Picture expected(shot.height, std::string(shot.width, '.'));
    for (const auto& [row, text] : shot.rows) expected[row] = text;
    std::vector<uint32_t> storage;
    PixelCanvas canvas(view.x(), view.y(), view.w(), view.h(), storage);
    view.paint(canvas);
    EXPECT_EQ(rows_of(canvas, 10, 20, shot.width, shot.height, legend), expected);
  }
}

SdifWriter stream(const char* type, const std::vector<std::pair<double, std::vector<float>>>& frames, int columns) {
  SdifWriter w;
  w.file_header();
  for (const auto& [time, elements] : frames) {
    w.begin_frame(type, time, 1, type[1] == 'S' ? 2 : 1);
    if (type[1] == 'S') w.matrix_f32("ISTF", 1, 1, {1});
    w.matrix_f32(type, int(elements.size()) / columns, columns, elements).end_frame();
  }
  return w;
}

}  // namespace

TEST(PixelCanvas, DrawsAsTheToolkitCallsDo) {
  std::vector<uint32_t> storage;
  PixelCanvas canvas(10, 20, 4, 3, storage);
  // Colours given as RGB values (the first value past the colour map's indices) as well as colour-map
  // indices; a rectangle reaching past the picture.
  canvas.color(fl_rgb_color(0, 0, 1));
  canvas.rectf(8, 19, 4, 10);
  canvas.color(255);
  // A clip is intersected with the one in force, lines keep both ends in either order, and popping
  // the clip brings the whole picture back.
  canvas.push_clip(11, 0, 2, 100);
  canvas.yxline(10, 22, 20);
  canvas.yxline(12, 25, 21);
  canvas.pop_clip();
  canvas.yxline(13, 20, 20);
  EXPECT_EQ(rows_of(canvas, 10, 20, 4, 3, {{'r', fl_rgb_color(0, 0, 1)}, {'g', 255}}),
            (Picture{"rr.g", "rrg.", "rrg."}));
}

TEST(PixelCanvas, StorageGivesBackWhatAMuchSmallerPictureLeaves) {
  // Pictures one after the other in one storage, and what it holds after each: a somewhat smaller
  // picture and an empty one keep it, one under a quarter of it (the window shrank) does not.
  const struct {
    int width, height;
    size_t capacity;
  } pictures[] = {
      {2000, 1000, 2000000}, {1000, 600, 2000000}, {0, 10, 2000000}, {990, 500, 495000}, {400, 400, 495000}};
  std::vector<uint32_t> storage;
  for (const auto& p : pictures) {
    PixelCanvas canvas(0, 0, p.width, p.height, storage);
    EXPECT_EQ(storage.capacity(), p.capacity) << p.width << "x" << p.height;
  }
}

TEST(PitchViewPicture, StaircasesGapsScalesAndLimits) {
  // Columns at t = 0, 0.75, 1.5, 2.25: values 100, 175, 250, 325, weights 0.2, 0.4, 0.6, 0.8, each
  // joined to the one before it by a line in the earlier column.
  expect_pictures<PitchView>(stream("1FQ0", {{0.0, {100, 0.2f}}, {3.0, {400, 1.0f}}}, 2), "1FQ0",
                             {{4, 10, 0, 1, 0, 1, {{'a', 0.2}, {'b', 0.4}, {'c', 0.6}, {'d', 0.8}},
                               {{7, "..d."}, {8, ".cd."}, {9, "bc.."}}}});
  // Rows at 500, 0 (the base: one pixel below the view), 1000 (the top row) and 750. One frame: every
  // column shows it, and each trace ends one column before the right edge.
  expect_pictures<PitchView>(stream("1FQ0", {{2.0, {500, 1, 0, 1, 1000, 1, 750, 1}}}, 2), "1FQ0",
                             {{4, 10, 0, 1, 0, 1, {{'z', 1}}, {{0, "zzz."}, {3, "zzz."}, {5, "zzz."}}},
                              {4, 10, 0, 1, 0.5f, 0.5f, {{'z', 1}}, {{0, "zzz."}, {5, "zzz."}}}});
  // Weights 1, 0.5, 0, 0.5 at t = 0, 0.5, 1, 1.5: the second point is drawn into the first column; the
  // fourth starts again with a point of its own. Zoomed into the second half: t = 1, 1.25, 1.5, 1.75.
  expect_pictures<PitchView>(stream("1FQ0", {{0.0, {500, 1}}, {1.0, {500, 0}}, {2.0, {500, 1}}}, 2), "1FQ0",
                             {{4, 10, 0, 1, 0, 1, {{'z', 1.0}, {'h', 0.5}}, {{5, "h..h"}}},
                              {4, 10, 0.5f, 0.5f, 0, 1, {{'q', 0.25}, {'h', 0.5}, {'t', 0.75}}, {{5, ".ht."}}}});
  // A value of 1.5e38 in the second column: its joining line runs from above the view down to row 25.
  expect_pictures<PitchView>(stream("1FQ0", {{0.0, {500, 1}}, {1.0, {3e38f, 1}}}, 2), "1FQ0",
                             {{2, 10, 0, 1, 0, 1, {{'z', 1}},
                               {{0, "z."}, {1, "z."}, {2, "z."}, {3, "z."}, {4, "z."}, {5, "z."}}}});
  expect_pictures<PitchView>(stream("1FQ0", {{0.0, {500, 1}}, {1.0, {-3e38f, 1}}}, 2), "1FQ0",
                             {{2, 10, 0, 1, 0, 1, {{'z', 1}},
                               {{5, "z."}, {6, "z."}, {7, "z."}, {8, "z."}, {9, "z."}}}});
}

TEST(TrackViewPicture, DrawsPartialsByTrackOnTheFullBand) {
  // Columns at t = 0, 0.75, 1.5, 2.25. Track 1 falls from 8820 Hz (row 26) by a pixel a column; track
  // 200 lies above the view; track 300 fades out at 4410 Hz (row 28), over track 1; track 7 fades in
  // at 22050 Hz, the top row.
  expect_pictures<TrackView>(
      stream("1TRC", {{0.0, {1, 8820, 1, 0, 200, 30000, 1, 0, 300, 4410, 1, 0}},
                      {3.0, {1, 2205, 1, 0, 200, 30000, 1, 0, 7, 22050, 0.8f, 0}}}, 4),
      "1TRC",
      {{4, 10, 0, 1, 0, 1,
        {{'z', 1.0}, {'b', 0.8f * 0.5}, {'c', 0.8f * 0.75}, {'t', 0.75}, {'h', 0.5}, {'q', 0.25}},
        {{0, ".bc."}, {6, "z..."}, {7, "zz.."}, {8, "thq."}, {9, "..z."}}}});
}

TEST(ResidualViewPicture, StacksBinsUpwardScrollsZoomsAndBlends) {
  // Four bins of 2.5 rows: edges at rows 30, 28, 25, 23 and 20. Bin 0 is brighter than 1 and takes the
  // last colour; bin 1 is empty, so the edge it would share with bin 0 shows bin 0. Scrolled up by half
  // the bins: bins 2 and 3 at the bottom. Zoomed to the lower half: bins five rows tall.
  std::map<char, double> legend = {{'z', 1.0}, {'h', 0.5}, {'q', 0.25}};
  expect_pictures<ResidualView>(
      stream("1STF", {{1.0, {3.0f, 0.0f, 0.0f, 0.0f, 0.3f, 0.4f, 0.0f, 0.25f}}}, 2), "1STF",
      {{3, 10, 0, 1, 0, 1, legend,
        {{0, "qqq"}, {1, "qqq"}, {2, "qqq"}, {3, "qqq"}, {4, "hhh"}, {5, "hhh"}, {8, "zzz"}, {9, "zzz"}}},
       {3, 10, 0, 1, 0.5f, 1, legend, {{5, "qqq"}, {6, "qqq"}, {7, "qqq"}, {8, "qqq"}, {9, "hhh"}}},
       {3, 10, 0, 1, 0, 0.5f, legend, {{0, "hhh"}, {5, "zzz"}, {6, "zzz"}, {7, "zzz"}, {8, "zzz"}, {9, "zzz"}}}});
  // One bin fills the height; the later frame's second bin is never drawn. Columns at w = 0, 1/3, 2/3.
  expect_pictures<ResidualView>(stream("1STF", {{0.0, {0.25f, 0}}, {2.0, {1, 0, 1, 0}}}, 2), "1STF",
                                {{3, 4, 0, 1, 0, 1, {{'a', 0.25}, {'b', 0.5}, {'c', 0.75}},
                                  {{0, "abc"}, {1, "abc"}, {2, "abc"}, {3, "abc"}}}});
  // Zoomed to 0.3 of the bins, 6 rows tall: bin 1's edge lies 4.9999998 rows up, so at row 22, where
  // single precision would round it to 5.0, row 21.
  expect_pictures<ResidualView>(stream("1STF", {{0.0, {0.25f, 0, 0.5f, 0, 0.75f, 0, 1, 0}}}, 2), "1STF",
                                {{1, 6, 0, 1, 0, 0.3f, {{'a', 0.25}, {'b', 0.5}},
                                  {{0, "b"}, {1, "b"}, {2, "b"}, {3, "a"}, {4, "a"}, {5, "a"}}}});
  // A first frame without a spectrum leaves the picture black.
  SdifWriter bare;
  bare.file_header().begin_frame("1STF", 0.0, 1, 1).matrix_f32("ISTF", 1, 1, {1}).end_frame();
  bare.begin_frame("1STF", 1.0, 1, 2).matrix_f32("ISTF", 1, 1, {1}).matrix_f32("1STF", 1, 2, {1, 0}).end_frame();
  expect_pictures<ResidualView>(bare, "1STF", {{3, 4, 0, 1, 0, 1, {}, {}}});
  expect_pictures<ResidualView>(bare, "1TRC", {{3, 4, 0, 1, 0, 1, {}, {}}});  // and so does an empty stream
}

TEST(Scales, LogarithmicAxesPlaceOctavesEvenlyFrom20HzAndBinZeroLowest) {
  // The logarithmic axis of the Sinusoids view, 100 pixels high: 20 Hz at its bottom edge, the full
  // range at its top, octaves alike; nothing at or below 0 Hz.
  const ValueAxis axis = value_axis(VerticalScale::Log, 22050, 0.0f, 1.0f, 100);
  EXPECT_NEAR(axis.up(20), 0.0, 1e-4);
  EXPECT_NEAR(axis.up(22050), 100.0, 1e-4);
  EXPECT_NEAR(axis.up(880) - axis.up(440), axis.up(1760) - axis.up(880), 1e-4);
  EXPECT_NEAR(axis.value_at(axis.up(440)), 440.0, 1e-3);
  const ViewRows rows = {-1, 100, 101.0};
  for (double silent : {0.0, -5.0}) EXPECT_EQ(rows.row_above_bottom(axis.up(silent)), 100) << "below the view";

  // Drawn: a partial each at 440, 880 and 1760 Hz, on the logarithmic and the musical scale alike.
  SdifWriter tracks = stream("1TRC", {{0.0, {1, 440, 1, 2, 880, 1, 3, 1760, 1, 4, 0, 1}}}, 3);
  LoadedStream s(tracks, "1TRC");
  for (VerticalScale scale : {VerticalScale::Log, VerticalScale::Note}) {
    TrackView view(0, 0, 4, 100, &s.cursor);
    ViewControls controls;
    controls.scale = scale;
    apply_controls(controls, view);
    std::vector<uint32_t> storage;
    PixelCanvas canvas(0, 0, 4, 100, storage);
    view.paint(canvas);
    std::vector<int> lit;
    for (int y = 0; y < 100; ++y)
      if (canvas.pixel(0, y)[0] | canvas.pixel(0, y)[1] | canvas.pixel(0, y)[2]) lit.push_back(y);
    ASSERT_EQ(lit.size(), 3u) << "0 Hz is not drawn";
    EXPECT_NEAR(lit[1] - lit[0], lit[2] - lit[1], 1) << "octaves alike, to a row";
    EXPECT_EQ(lit[2], 100 - int(axis.up(440)));
  }

  // A spectrum of 64 bins, each strong in a frame of its own: on the logarithmic scale bin 0 takes the
  // lowest row, from which bin 1 rises to bin 2's lowest row, and bin 63 ends on the top row; a row
  // that two bins share shows the stronger.
  const struct {
    int bin;
    int lowest, highest;  // rows from the top of a 64-row view
  } bands[] = {{0, 63, 63}, {1, 63, 53}, {63, 1, 0}};
  for (const auto& band : bands) {
    std::vector<float> bins(128, 0.0f);
    bins[size_t(2 * band.bin)] = 1.0f;
    LoadedStream spectrum(stream("1STF", {{0.0, bins}}, 2), "1STF");
    ResidualView view(0, 0, 2, 64, &spectrum.cursor);
    ViewControls controls;
    controls.scale = VerticalScale::Log;
    apply_controls(controls, view);
    std::vector<uint32_t> storage;
    PixelCanvas canvas(0, 0, 2, 64, storage);
    view.paint(canvas);
    std::vector<int> lit;
    for (int y = 0; y < 64; ++y)
      if (canvas.pixel(0, y)[0] | canvas.pixel(0, y)[1] | canvas.pixel(0, y)[2]) lit.push_back(y);
    ASSERT_FALSE(lit.empty()) << band.bin;
    EXPECT_EQ(std::make_pair(lit.back(), lit.front()), std::make_pair(band.lowest, band.highest)) << band.bin;
  }
}
