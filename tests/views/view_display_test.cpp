// Tests that a view's draw(), which puts the pixel canvas's picture on screen, shows exactly the pixels
// that the toolkit's own calls draw, on random streams, zooms and view rectangles. Needs a true-colour
// X display (the test script provides one).
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "tests/support/fltk_driver.h"
#include "tests/support/test_files.h"
#include "tests/support/toolkit_canvas.h"
#include "views/pitch_view.h"
#include "views/pixel_canvas.h"
#include "views/residual_view.h"
#include "views/track_view.h"

namespace {

constexpr int AREA_W = 150;
constexpr int AREA_H = 100;

// A stream of 40 frames at times that mostly rise, with repeats, each of up to `most_rows` random rows.
SdifWriter random_stream(std::mt19937& random, const char* type, int columns, int most_rows,
                         const std::function<float(int column)>& element) {
  SdifWriter w;
  w.file_header();
  double t = 0.5;
  for (int i = 0; i < 40; ++i) {
    int rows = random() % most_rows;
    std::vector<float> elements;
    for (int e = 0; e < rows * columns; ++e) elements.push_back(element(e % columns));
    w.begin_frame(type, t += (random() % 4) * 0.125, 1, type[1] == 'S' ? 2 : 1);
    if (type[1] == 'S') w.matrix_f32("ISTF", 1, 3, {44100, 64, 64});
    w.matrix_f32(type, rows, columns, elements).end_frame();
  }
  return w;
}

// Draws the view through both back ends at its resting place and at random rectangles, scrolls and
// zooms, some reaching outside the stream, and requires the same pixels inside it and around it.
// Returns how many of the view's pixels were lit, so that the test knows it compared real pictures.
template <class View>
int lit_pixels_of_matching_pictures(SdifStreamCursor* cursor, std::mt19937& random) {
  View view(5, 8, 120, 80, cursor);
  std::uniform_real_distribution<float> fraction(-0.2f, 1.0f), size(0.02f, 1.5f);
  int lit = 0;
  for (int i = 0; i < 12; ++i) {
    if (i > 0) {
      int x = random() % 30, y = random() % 30;
      view.resize(x, y, 1 + int(random() % (AREA_W - x)), 1 + int(random() % (AREA_H - y)));
      view.time_position = fraction(random);
      view.time_size = size(random);
      view.vertical_position = fraction(random);
      view.vertical_size = size(random);
    }
    ToolkitCanvas direct;
    std::vector<unsigned char> expected = drawn_offscreen(AREA_W, AREA_H, [&] { view.paint(direct); });
    std::vector<unsigned char> shown = drawn_offscreen(AREA_W, AREA_H, [&] { view.draw(); });
    for (int p = 0; p < AREA_W * AREA_H; ++p) {
      int x = p % AREA_W, y = p / AREA_W;
      const unsigned char *e = &expected[3 * p], *s = &shown[3 * p];
      if (e[0] != s[0] || e[1] != s[1] || e[2] != s[2]) {
        ADD_FAILURE() << "setting " << i << ": pixel (" << x << ", " << y << ") differs";
        return lit;
      }
      bool inside = x >= view.x() && x < view.x() + view.w() && y >= view.y() && y < view.y() + view.h();
      lit += inside && (e[0] | e[1] | e[2]);
    }
  }
  return lit;
}

}  // namespace

TEST(ViewDisplay, PicturesMatchTheToolkitCalls) {
  Fl_Window window(AREA_W, AREA_H, "views");
  show_for_drawing(window);
  std::mt19937 random(11);
  std::uniform_real_distribution<float> value(-100.0f, 1200.0f), weight(-0.2f, 1.3f), frequency(-500.0f, 25000.0f),
      amplitude(-0.1f, 1.2f), part(-0.8f, 0.8f);
  // Zeros now and then: a value, frequency, weight or amplitude of zero breaks a trace or takes over.
  auto sometimes_zero = [&](float v) { return random() % 7 == 0 ? 0.0f : v; };
  LoadedStream pitch(
      random_stream(random, "1FQ0", 2, 8, [&](int c) { return sometimes_zero(c ? weight(random) : value(random)); }),
      "1FQ0");
  LoadedStream tracks(random_stream(random, "1TRC", 4, 12,
                                    [&](int c) {
                                      if (c == 0) return float(int(random() % 20) - 2);  // track indices
                                      if (c == 3) return 0.0f;  // phases
                                      return sometimes_zero(c == 1 ? frequency(random) : amplitude(random));
                                    }),
                      "1TRC");
  LoadedStream residual(random_stream(random, "1STF", 2, 45, [&](int) { return sometimes_zero(part(random)); }),
                        "1STF");
  EXPECT_GT(lit_pixels_of_matching_pictures<PitchView>(&pitch.cursor, random), 500);
  EXPECT_GT(lit_pixels_of_matching_pictures<TrackView>(&tracks.cursor, random), 500);
  EXPECT_GT(lit_pixels_of_matching_pictures<ResidualView>(&residual.cursor, random), 2000);
}
