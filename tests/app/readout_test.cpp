// Tests of the readout: the line each view reads under the pointer, from the data as the column
// blends it; note names across octave edges; the pointer's own height where no trace is near; Ctrl+C's
// text; the measuring line drawn over the last picture and gone again; and the window as it was once
// the pointer leaves.
#include <gtest/gtest.h>
// The toolkit's X header defines Xlib macros that clash with names in gtest, so it comes after it.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <cmath>
#include <string>

#include "app/data_panel.h"
#include "app/readout_text.h"
#include "tests/support/fltk_driver.h"
#include "tests/support/test_files.h"
#include "views/note_names.h"
#include "views/sdif_view.h"
#include "views/vertical_axis.h"

namespace {

// An event at (x, y) in window coordinates, with the modifier keys `state`; a press is the left button's.
int send(Fl_Widget* to, int event, int x, int y, int state = 0, int key = 0) {
  Fl::e_x = x;
  Fl::e_y = y;
  Fl::e_state = state;
  Fl::e_keysym = event == FL_PUSH || event == FL_RELEASE ? FL_Button + FL_LEFT_MOUSE : key;
  Fl::e_clicks = 0;
  return to->handle(event);
}

// The window row at which a panel's view draws `hertz`, on its linear axis.
int row_of(const DataPanel* panel, double full_range, double hertz) {
  const SdifView* v = panel->view;
  ValueAxis axis = value_axis(v->scale, full_range, v->vertical_position, v->vertical_size, v->h());
  return v->rows().row_above_bottom(axis.up(hertz));
}

// Three streams of two frames, 0 and 1 s: a pitch estimate at 220 Hz; partials 3 at 1000 Hz and 9
// from 1200 to 1300 Hz; a spectrum of 64 bins at 44100 Hz over 1024 points, bin 42 at 0.5, bin 50 at
// NaN, the rest 0.
SdifWriter streams() {
  SdifWriter w;
  w.file_header();
  for (int f = 0; f < 2; ++f) {
    w.begin_frame("1FQ0", f, 1, 1).matrix_f32("1FQ0", 1, 2, {220, 0.9f}).end_frame();
    w.begin_frame("1TRC", f, 2, 1).matrix_f32("1TRC", 2, 3, {3, 1000, 0.5f, 9, 1200.0f + 100 * f, 0.25f}).end_frame();
    std::vector<float> bins(128, 0.0f);
    bins[84] = 0.5f;
    bins[100] = NAN;
    w.begin_frame("1STF", f, 3, 2).matrix_f32("ISTF", 1, 2, {44100, 1024}).matrix_f32("1STF", 64, 2, bins).end_frame();
  }
  return w;
}

struct Panels {
  SdifWriter file = streams();
  LoadedStream pitch{file, "1FQ0"}, tracks{file, "1TRC"}, residual{file, "1STF"};
  Fl_Double_Window window{450, 450, "SDIF"};
  DataPanel* panels[3];
  Panels() {
    panels[0] = new DataPanel(0, 0, 450, 150, "Pitch", VIEW_PITCH, &pitch.cursor);
    panels[1] = new DataPanel(0, 150, 450, 150, "Sinusoids", VIEW_TRACKS, &tracks.cursor);
    panels[2] = new DataPanel(0, 300, 450, 150, "Residual", VIEW_RESIDUAL, &residual.cursor);
    window.end();
  }
};

}  // namespace

TEST(Readout, EachViewReadsTheDataUnderThePointer) {
  Panels p;
  DataPanel *pitch = p.panels[0], *tracks = p.panels[1], *residual = p.panels[2];
  // Column 215 of 430 is t = 0.5 s, a step of 1/430 s a column: three decimals. The residual's 64 bins
  // are 110 / 64 pixels tall: bin k's lowest row is 430 - trunc(k * 110 / 64), which it shares with
  // the bin below it and shows, being the higher.
  const int middle = 215;
  auto bin_row = [](int k) { return 430 - int(k * 110.0 / 64); };
  const struct {
    DataPanel* panel;
    int x, y;
    std::string line;
  } cases[] = {
      // A pixel of the pitch view spans 9 value units, of the track view 200 Hz: the values are read
      // from the data, not from the pixel, within SNAP_PIXELS rows.
      {pitch, middle, row_of(pitch, 1000, 220) - 3, "0.500 s  220.0 Hz A3 +0\u00a2  confidence 0.90"},
      {tracks, middle, row_of(tracks, 22050, 1000) + 2, "0.500 s  #3  1000.0 Hz B5 +21\u00a2  -6.0 dB"},
      // Partial 9 is halfway from 1200 to 1300 Hz, and the nearer of the two.
      {tracks, middle, row_of(tracks, 22050, 1250) - 1, "0.500 s  #9  1250.0 Hz D#6 +8\u00a2  -12.0 dB"},
      // Row 175 is 105 pixels up: its middle, 105.5 pixels of 200.45 Hz.
      {tracks, middle, 175, "0.500 s  at pointer 21148.0 Hz"},
      {residual, middle, bin_row(42), "0.500 s  bin 42  1808.8 Hz  -6.0 dB"},
      {residual, middle, bin_row(35), "0.500 s  bin 35  1507.3 Hz  -inf dB"},
      {residual, middle, bin_row(50), "0.500 s  bin 50  2153.3 Hz  no level"},
  };
  for (const auto& c : cases) {
    send(c.panel, FL_MOVE, c.x, c.y);
    EXPECT_EQ(c.panel->readout(), c.line) << c.line;
  }
  // Off the view the line goes.
  send(tracks, FL_MOVE, middle, 290);
  EXPECT_EQ(tracks->readout(), "");
}

TEST(Readout, NotesAcrossOctaveEdgesAndMeasuredDifferences) {
  const struct {
    double hertz;
    const char* note;
  } notes[] = {{261.6256, "C4 +0\u00a2"}, {246.9417, "B3 +0\u00a2"}, {254.0, "B3 +49\u00a2"}, {27.5, "A0 +0\u00a2"},
               {8.1758, "C-1 +0\u00a2"}, {0.0, ""},                 {NAN, ""}};
  for (const auto& n : notes) EXPECT_EQ(note_text(n.hertz), n.note) << n.hertz;
  Probe from, to;
  from.time = 1.0, to.time = 1.25, to.time_step = 0.001;
  from.value = 220, to.value = 330, from.value_step = to.value_step = 2;
  from.on_data = to.on_data = true;
  from.key = 12, to.key = 30;
  EXPECT_EQ(measure_text(VIEW_TRACKS, from, to), "\u0394t +0.250 s  +702\u00a2  \u0394f +110.0 Hz");
  EXPECT_EQ(measure_text(VIEW_RESIDUAL, to, from), "\u0394t -0.250 s  \u0394 -18 bins");
}

TEST(Readout, CopyMeasureAndLeaveTheWindowAsItWas) {
  Panels p;
  show_for_drawing(p.window);
  p.window.wait_for_expose();
  auto shot = [&] {
    Fl::flush();
    p.window.make_current();
    std::vector<unsigned char> pixels(450 * 450 * 3);
    fl_read_image(pixels.data(), 0, 0, 450, 450);
    return pixels;
  };
  DataPanel* tracks = p.panels[1];
  const std::vector<unsigned char> at_rest = shot();

  // Hovering writes the line into the title bar and nowhere else; leaving takes it away.
  send(tracks, FL_MOVE, 215, row_of(tracks, 22050, 1000));
  std::vector<unsigned char> hovered = shot();
  auto differs_in = [&](const std::vector<unsigned char>& a, int top, int bottom) {
    return !std::equal(a.begin() + top * 450 * 3, a.begin() + bottom * 450 * 3, at_rest.begin() + top * 450 * 3);
  };
  EXPECT_TRUE(differs_in(hovered, 150, 170)) << "the title bar shows the line";
  EXPECT_FALSE(differs_in(hovered, 0, 150) || differs_in(hovered, 170, 450)) << "and nothing else changes";

  // Ctrl+C puts the line, as shown, where a paste finds it.
  struct Paste : Fl_Widget {
    std::string text;
    Paste() : Fl_Widget(0, 0, 1, 1) {}
    void draw() override {}
    int handle(int event) override { return event == FL_PASTE ? (text = Fl::event_text(), 1) : 0; }
  } clipboard, selection;
  EXPECT_EQ(send(tracks, FL_KEYBOARD, 215, row_of(tracks, 22050, 1000), FL_CTRL, 'c'), 1);
  Fl::paste(clipboard, 1);
  Fl::paste(selection, 0);
  EXPECT_EQ(clipboard.text, tracks->readout());
  EXPECT_EQ(selection.text, tracks->readout());

  // Shift and a drag: a line over the picture and the difference in the title bar; releasing takes the
  // line away and leaves the picture as it was.
  const int from_y = row_of(tracks, 22050, 1000);
  send(tracks, FL_PUSH, 100, from_y, FL_SHIFT);
  send(tracks, FL_DRAG, 300, 200, FL_SHIFT);
  std::vector<unsigned char> measured = shot();
  EXPECT_NE(tracks->readout().find("\u0394t +0.465 s"), std::string::npos) << tracks->readout();
  size_t magenta = 0;
  for (size_t i = 0; i < measured.size(); i += 3)
    magenta += measured[i] == 255 && measured[i + 1] == 0 && measured[i + 2] == 255;
  EXPECT_GT(magenta, 150u) << "the line runs 200 pixels across";
  send(tracks, FL_RELEASE, 300, 200, FL_SHIFT);
  send(tracks, FL_LEAVE, 300, 500);
  EXPECT_TRUE(shot() == at_rest);
}
