// Tests that a view's draw(), which puts the pixel canvas's picture on screen, shows exactly the pixels
// that the toolkit's own calls draw, on varied random streams, zooms and view rectangles. Needs a
// true-colour X display (the test script provides one).
#include <gtest/gtest.h>
// The toolkit's X header defines Xlib macros that clash with names in gtest, so it comes after it.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "tests/support/loaded_stream.h"
#include "tests/support/toolkit_canvas.h"
#include "views/pitch_view.h"
#include "views/pixel_canvas.h"
#include "views/residual_view.h"
#include "views/track_view.h"

namespace {

constexpr int AREA_W = 150;
constexpr int AREA_H = 100;

using Pixels = std::vector<unsigned char>;

struct Settings {
  int x, y, w, h;
  float time_position, time_size, vertical_position, vertical_size;
};

// The resting view, then random rectangles, scrolls and zooms, some reaching outside the stream.
std::vector<Settings> settings_for(std::mt19937& random) {
  std::vector<Settings> all = {{5, 8, 120, 80, 0, 1, 0, 1}, {0, 0, AREA_W, AREA_H, 0, 1, 0, 1}};
  std::uniform_real_distribution<float> fraction(-0.2f, 1.0f), size(0.02f, 1.5f);
  for (int i = 0; i < 10; ++i) {
    int x = random() % 30, y = random() % 30;
    all.push_back({x, y, 1 + int(random() % (AREA_W - x)), 1 + int(random() % (AREA_H - y)), fraction(random),
                   size(random), fraction(random), size(random)});
  }
  return all;
}

class ViewDisplay : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    window = new Fl_Window(AREA_W, AREA_H, "views");
    window->end();
    window->show();
    while (!window->shown()) Fl::wait(0.1);
    window->make_current();
  }
  static void TearDownTestSuite() {
    delete window;
    window = nullptr;
  }

  // What `draw` leaves in an offscreen area first painted a colour no view uses, read back whole.
  template <class Draw>
  static Pixels drawn(Draw draw) {
    Fl_Offscreen area = fl_create_offscreen(AREA_W, AREA_H);
    fl_begin_offscreen(area);
    fl_color(fl_rgb_color(20, 200, 220));
    fl_rectf(0, 0, AREA_W, AREA_H);
    draw();
    Pixels pixels(AREA_W * AREA_H * 3);
    fl_read_image(pixels.data(), 0, 0, AREA_W, AREA_H);
    fl_end_offscreen();
    fl_delete_offscreen(area);
    return pixels;
  }

  // Draws the view through both back ends and requires the same pixels, inside it and around it.
  // Returns how many of the view's pixels are lit, so that a test knows it compared real pictures.
  template <class View>
  static int expect_same_pixels(View& view, const std::string& what) {
    ToolkitCanvas direct;
    Pixels expected = drawn([&] { view.paint(direct); });
    Pixels shown = drawn([&] { view.draw(); });
    int painted = 0;
    for (int y = 0; y < AREA_H; ++y) {
      for (int x = 0; x < AREA_W; ++x) {
        const unsigned char* e = &expected[(y * AREA_W + x) * 3];
        const unsigned char* s = &shown[(y * AREA_W + x) * 3];
        EXPECT_TRUE(e[0] == s[0] && e[1] == s[1] && e[2] == s[2])
            << what << ": pixel (" << x << ", " << y << ") toolkit " << int(e[0]) << "," << int(e[1]) << ","
            << int(e[2]) << " canvas " << int(s[0]) << "," << int(s[1]) << "," << int(s[2]);
        bool inside = x >= view.x() && x < view.x() + view.w() && y >= view.y() && y < view.y() + view.h();
        if (e[0] != s[0] || e[1] != s[1] || e[2] != s[2]) return painted;
        painted += inside && (e[0] | e[1] | e[2]);
      }
    }
    return painted;
  }

  // Compares the pictures at every setting of `settings_for` and returns how many view pixels were lit.
  template <class View>
  static int compare_at_many_settings(View& view, std::mt19937& random, const std::string& name) {
    int n = 0, painted = 0;
    for (const Settings& s : settings_for(random)) {
      view.resize(s.x, s.y, s.w, s.h);
      view.time_position = s.time_position;
      view.time_size = s.time_size;
      view.vertical_position = s.vertical_position;
      view.vertical_size = s.vertical_size;
      painted += expect_same_pixels(view, name + std::to_string(n++));
    }
    return painted;
  }

  static Fl_Window* window;
};

Fl_Window* ViewDisplay::window = nullptr;

// Frame times that mostly rise, with repeats.
std::vector<double> times_for(std::mt19937& random, int count) {
  std::vector<double> times;
  double t = 0.5;
  for (int i = 0; i < count; ++i) times.push_back(t += (random() % 4) * 0.125);
  return times;
}

}  // namespace

TEST_F(ViewDisplay, PitchPicturesMatchTheToolkitCalls) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> value(-100.0f, 1200.0f), weight(-0.2f, 1.3f);
  SdifWriter w;
  w.file_header();
  for (double t : times_for(random, 40)) {
    int rows = random() % 8;
    std::vector<float> elements;
    for (int r = 0; r < rows; ++r) {
      elements.push_back(random() % 6 == 0 ? 0.0f : value(random));
      elements.push_back(random() % 7 == 0 ? 0.0f : weight(random));
    }
    w.begin_frame("1FQ0", t, 1, 1).matrix_f32("1FQ0", rows, 2, elements).end_frame();
  }
  LoadedStream s(w, "1FQ0");
  PitchView view(0, 0, 1, 1, &s.cursor);
  EXPECT_GT(compare_at_many_settings(view, random, "pitch"), 500);
}

TEST_F(ViewDisplay, TrackPicturesMatchTheToolkitCalls) {
  std::mt19937 random(12);
  std::uniform_real_distribution<float> frequency(-500.0f, 25000.0f), amplitude(-0.1f, 1.2f);
  SdifWriter w;
  w.file_header();
  for (double t : times_for(random, 40)) {
    int rows = random() % 12;
    std::vector<float> elements;
    for (int r = 0; r < rows; ++r) {
      elements.push_back(float(int(random() % 20) - 2));
      elements.push_back(random() % 8 == 0 ? 0.0f : frequency(random));
      elements.push_back(random() % 8 == 0 ? 0.0f : amplitude(random));
      elements.push_back(0.0f);
    }
    w.begin_frame("1TRC", t, 1, 1).matrix_f32("1TRC", rows, 4, elements).end_frame();
  }
  LoadedStream s(w, "1TRC");
  TrackView view(0, 0, 1, 1, &s.cursor);
  EXPECT_GT(compare_at_many_settings(view, random, "tracks"), 500);
}

TEST_F(ViewDisplay, ResidualPicturesMatchTheToolkitCalls) {
  std::mt19937 random(13);
  std::uniform_real_distribution<float> part(-0.8f, 0.8f);
  SdifWriter w;
  w.file_header();
  bool first = true;
  for (double t : times_for(random, 30)) {
    int rows = first ? 37 : random() % 45;
    first = false;
    std::vector<float> elements;
    for (int r = 0; r < rows; ++r) {
      elements.push_back(random() % 9 == 0 ? 0.0f : part(random));
      elements.push_back(part(random));
    }
    w.begin_frame("1STF", t, 1, 2).matrix_f32("ISTF", 1, 3, {44100, 64, 64});
    w.matrix_f32("1STF", rows, 2, elements).end_frame();
  }
  LoadedStream s(w, "1STF");
  ResidualView view(0, 0, 1, 1, &s.cursor);
  EXPECT_GT(compare_at_many_settings(view, random, "residual"), 2000);
}
