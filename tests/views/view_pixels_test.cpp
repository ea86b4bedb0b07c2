// Tests of the three views' pictures, drawn into the pixel canvas and read back as rows of letters:
// trace heights and colours, the staircase and its gaps, the rightmost column, bin bands, scrolling
// and zooming. No display: the canvas takes its colours from the toolkit's colour map.
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/loaded_stream.h"
#include "views/pitch_view.h"
#include "views/pixel_canvas.h"
#include "views/residual_view.h"
#include "views/track_view.h"

namespace {

using Picture = std::vector<std::string>;
using Legend = std::map<char, Fl_Color>;

// The canvas's picture of the rectangle, one string per pixel row from the top: '.' for black, the
// legend's letter for the colour it names, '?' for any other colour.
Picture rows_of(const PixelCanvas& canvas, int left, int top, int width, int height, const Legend& legend) {
  Picture rows;
  for (int y = top; y < top + height; ++y) {
    std::string row;
    for (int x = left; x < left + width; ++x) {
      unsigned rgb = (canvas.pixel(x, y)[0] << 24) | (canvas.pixel(x, y)[1] << 16) | (canvas.pixel(x, y)[2] << 8);
      char letter = rgb == 0 ? '.' : '?';
      for (const auto& [name, colour] : legend)
        if (Fl::get_color(colour) == rgb) letter = name;
      row += letter;
    }
    rows.push_back(row);
  }
  return rows;
}

// The view's picture, as rows_of reads it.
template <class View>
Picture picture_of(View& view, const Legend& legend) {
  std::vector<uint32_t> storage;
  PixelCanvas canvas(view.x(), view.y(), view.w(), view.h(), storage);
  view.paint(canvas);
  return rows_of(canvas, view.x(), view.y(), view.w(), view.h(), legend);
}

// Letters for the colours that the view's curve gives these amplitudes; they must differ.
Legend legend_of(const SdifView& view, const std::map<char, double>& amplitudes) {
  Legend legend;
  for (const auto& [name, amplitude] : amplitudes) legend[name] = view.contrast_curve->color_index(amplitude);
  for (const auto& [name, index] : legend)
    for (const auto& [other, other_index] : legend)
      EXPECT_TRUE(name == other || index != other_index) << name << " and " << other << " share a colour";
  return legend;
}

// A picture `height` rows tall of black rows `width` wide, but for the given rows (counted from the
// view's top row).
Picture blank_but(int width, int height, const std::map<int, std::string>& rows) {
  Picture picture(height, std::string(width, '.'));
  for (const auto& [row, text] : rows) picture[row] = text;
  return picture;
}

SdifWriter pitch_stream(const std::vector<std::pair<double, std::vector<float>>>& frames) {
  SdifWriter w;
  w.file_header();
  for (const auto& [time, elements] : frames)
    w.begin_frame("1FQ0", time, 1, 1).matrix_f32("1FQ0", int(elements.size() / 2), 2, elements).end_frame();
  return w;
}

}  // namespace

TEST(PixelCanvas, DrawsAsTheToolkitCallsDo) {
  std::vector<uint32_t> storage;
  PixelCanvas canvas(10, 20, 4, 3, storage);
  // Colours given as RGB values as well as colour-map indices; a rectangle reaching past the picture.
  canvas.color(fl_rgb_color(1, 2, 3));
  canvas.rectf(8, 19, 4, 10);
  canvas.color(70);
  // A clip is intersected with the one in force, lines keep both ends in either order, and popping
  // the clip brings the whole picture back.
  canvas.push_clip(11, 0, 2, 100);
  canvas.yxline(10, 22, 20);
  canvas.yxline(12, 25, 21);
  canvas.pop_clip();
  canvas.yxline(13, 20, 20);
  EXPECT_EQ(rows_of(canvas, 10, 20, 4, 3, {{'r', fl_rgb_color(1, 2, 3)}, {'g', 70}}),
            (Picture{"rr.g", "rrg.", "rrg."}));
}

TEST(PitchViewPicture, JoinsPointsWithAStaircaseInTheEarlierColumn) {
  LoadedStream s(pitch_stream({{0.0, {100, 0.2f}}, {3.0, {400, 1.0f}}}), "1FQ0");
  PitchView view(10, 20, 4, 10, &s.cursor);
  // Columns at t = 0, 0.75, 1.5, 2.25: values 100, 175, 250, 325, weights 0.2, 0.4, 0.6, 0.8.
  Legend legend = legend_of(view, {{'a', 0.2}, {'b', 0.4}, {'c', 0.6}, {'d', 0.8}});
  EXPECT_EQ(picture_of(view, legend), blank_but(4, 10, {{7, "..d."}, {8, ".cd."}, {9, "bc.."}}));
}

TEST(PitchViewPicture, PlacesValuesOnTheScrolledAndZoomedScale) {
  // Rows at 500, 0 (the base: one pixel below the view), 1000 (the top row) and 750.
  LoadedStream s(pitch_stream({{2.0, {500, 1, 0, 1, 1000, 1, 750, 1}}}), "1FQ0");
  PitchView view(10, 20, 4, 10, &s.cursor);
  Legend legend = {{'z', 127}};
  // One frame: every column shows it, and each trace ends one column before the right edge.
  EXPECT_EQ(picture_of(view, legend), blank_but(4, 10, {{0, "zzz."}, {3, "zzz."}, {5, "zzz."}}));
  view.vertical_position = 0.5f;
  view.vertical_size = 0.5f;
  EXPECT_EQ(picture_of(view, legend), blank_but(4, 10, {{0, "zzz."}, {5, "zzz."}}));
}

TEST(PitchViewPicture, BreaksTheTraceWhereTheWeightIsZero) {
  LoadedStream s(pitch_stream({{0.0, {500, 1}}, {1.0, {500, 0}}, {2.0, {500, 1}}}), "1FQ0");
  PitchView view(10, 20, 4, 10, &s.cursor);
  // Columns at t = 0, 0.5, 1, 1.5: weights 1, 0.5, 0, 0.5. The second column's point is drawn into
  // the first; the fourth starts again with a point of its own.
  Legend legend = legend_of(view, {{'z', 1.0}, {'h', 0.5}});
  EXPECT_EQ(picture_of(view, legend), blank_but(4, 10, {{5, "h..h"}}));

  // Zoomed into the second half, the columns sit at t = 1, 1.25, 1.5, 1.75.
  view.time_position = 0.5f;
  view.time_size = 0.5f;
  legend = legend_of(view, {{'q', 0.25}, {'h', 0.5}, {'t', 0.75}});
  EXPECT_EQ(picture_of(view, legend), blank_but(4, 10, {{5, ".ht."}}));
}

TEST(PitchViewPicture, LimitsHugeValuesToTheViewsEdges) {
  LoadedStream s(pitch_stream({{0.0, {500, 1}}, {1.0, {3e38f, 1}}}), "1FQ0");
  PitchView view(10, 20, 2, 10, &s.cursor);
  // The second column's value is 1.5e38: its joining line runs from above the view down to row 25.
  EXPECT_EQ(picture_of(view, {{'z', 127}}),
            (Picture{"z.", "z.", "z.", "z.", "z.", "z.", "..", "..", "..", ".."}));
  LoadedStream down(pitch_stream({{0.0, {500, 1}}, {1.0, {-3e38f, 1}}}), "1FQ0");
  PitchView below(10, 20, 2, 10, &down.cursor);
  EXPECT_EQ(picture_of(below, {{'z', 127}}),
            (Picture{"..", "..", "..", "..", "..", "z.", "z.", "z.", "z.", "z."}));
}

TEST(TrackViewPicture, DrawsPartialsByTrackOnTheFullBand) {
  SdifWriter w;
  w.file_header();
  w.begin_frame("1TRC", 0.0, 1, 1)
      .matrix_f32("1TRC", 3, 4, {1, 8820, 1, 0, 200, 30000, 1, 0, 300, 4410, 1, 0})
      .end_frame();
  w.begin_frame("1TRC", 3.0, 1, 1)
      .matrix_f32("1TRC", 3, 4, {1, 2205, 1, 0, 200, 30000, 1, 0, 7, 22050, 0.8f, 0})
      .end_frame();
  LoadedStream s(w, "1TRC");
  TrackView view(10, 20, 4, 10, &s.cursor);
  // Columns at t = 0, 0.75, 1.5, 2.25. Track 1 falls from 8820 Hz (row 26) by a pixel a column; track
  // 200 lies above the view; track 300 has no slot; track 7 fades in at 22050 Hz, the top row.
  Legend legend = legend_of(view, {{'z', 1.0}, {'b', 0.8f * 0.5}, {'c', 0.8f * 0.75}});
  EXPECT_EQ(picture_of(view, legend),
            blank_but(4, 10, {{0, ".bc."}, {6, "z..."}, {7, "zz.."}, {8, ".zz."}, {9, "..z."}}));
}

TEST(ResidualViewPicture, StacksBinsUpwardWithSharedEdges) {
  SdifWriter w;
  w.file_header();
  w.begin_frame("1STF", 1.0, 1, 2).matrix_f32("ISTF", 1, 3, {44100, 8, 8});
  w.matrix_f32("1STF", 4, 2, {3.0f, 0.0f, 0.0f, 0.0f, 0.3f, 0.4f, 0.0f, 0.25f}).end_frame();
  LoadedStream s(w, "1STF");
  ResidualView view(10, 20, 3, 10, &s.cursor);
  // Four bins of 2.5 rows: edges at rows 30, 28, 25, 23 and 20. Bin 0 is brighter than 1 and takes
  // the last colour; bin 1 is empty, so the edge it would share with bin 0 shows bin 0.
  Legend legend = legend_of(view, {{'z', 1.0}, {'h', 0.5}, {'q', 0.25}});
  EXPECT_EQ(picture_of(view, legend),
            (Picture{"qqq", "qqq", "qqq", "qqq", "hhh", "hhh", "...", "...", "zzz", "zzz"}));
  // Scrolled up by half the bins: bins 2 and 3 at the bottom, nothing above them.
  view.vertical_position = 0.5f;
  EXPECT_EQ(picture_of(view, legend),
            blank_but(3, 10, {{5, "qqq"}, {6, "qqq"}, {7, "qqq"}, {8, "qqq"}, {9, "hhh"}}));
  // Zoomed to the lower half: bins five rows tall, bin 2's lower edge on the top row.
  view.vertical_position = 0.0f;
  view.vertical_size = 0.5f;
  EXPECT_EQ(picture_of(view, legend),
            (Picture{"hhh", "...", "...", "...", "...", "zzz", "zzz", "zzz", "zzz", "zzz"}));
}

TEST(ResidualViewPicture, BlendsColumnsAndKeepsTheFirstFramesBinCount) {
  SdifWriter w;
  w.file_header();
  w.begin_frame("1STF", 0.0, 1, 2).matrix_f32("ISTF", 1, 1, {1}).matrix_f32("1STF", 1, 2, {0.25f, 0}).end_frame();
  w.begin_frame("1STF", 2.0, 1, 2).matrix_f32("ISTF", 1, 1, {1}).matrix_f32("1STF", 2, 2, {1, 0, 1, 0}).end_frame();
  LoadedStream s(w, "1STF");
  ResidualView view(10, 20, 3, 4, &s.cursor);
  // One bin fills the height; the later frame's second bin is never drawn. Columns at w = 0, 1/3, 2/3.
  Legend legend = legend_of(view, {{'a', 0.25}, {'b', 0.5}, {'c', 0.75}});
  EXPECT_EQ(picture_of(view, legend), (Picture{"abc", "abc", "abc", "abc"}));

  SdifWriter bare;
  bare.file_header();
  bare.begin_frame("1STF", 0.0, 1, 1).matrix_f32("ISTF", 1, 1, {1}).end_frame();
  bare.begin_frame("1STF", 1.0, 1, 2).matrix_f32("ISTF", 1, 1, {1}).matrix_f32("1STF", 1, 2, {1, 0}).end_frame();
  LoadedStream no_bins(bare, "1STF");
  ResidualView black(10, 20, 3, 4, &no_bins.cursor);
  EXPECT_EQ(picture_of(black, {}), blank_but(3, 4, {}));
}
