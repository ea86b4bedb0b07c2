// Tests of the data panels and the panel bands without a display: the layout and what a window resize
// does to it, what each control's events change in the views, the cube toggle, and the time-range
// synchronisation held by Ctrl.
#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Slider.H>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <tuple>

#include "app/data_panel.h"
#include "app/panel_bands.h"
#include "app/range_slider.h"
#include "app/view_menu.h"
#include "tests/support/fltk_driver.h"
#include "tests/support/test_files.h"
#include "views/sdif_view.h"
#include "views/track_view.h"

namespace {

// A file holding the streams whose types are listed, in one window with its bands filled as at start-up.
struct Bands {
  SdifWriter writer;
  std::unique_ptr<SdifFile> file;
  std::unique_ptr<PanelCursors> cursors;
  Fl_Double_Window window{450, 450, "SDIF"};

  explicit Bands(const std::string& types = "1FQ0 1TRC 1STF", int frames = 4) {
    writer.file_header();
    for (int i = 0; i < frames; ++i) {
      if (types.find("1FQ0") != std::string::npos)
        writer.begin_frame("1FQ0", 0.1 * i, 1, 1).matrix_f32("1FQ0", 1, 2, {220.0f + i, 0.9f}).end_frame();
      if (types.find("1TRC") != std::string::npos)
        writer.begin_frame("1TRC", 0.1 * i, 2, 1).matrix_f32("1TRC", 1, 4, {1, 440, 0.5f, 0}).end_frame();
      if (types.find("1STF") != std::string::npos)
        writer.begin_frame("1STF", 0.1 * i, 3, 2).matrix_f32("ISTF", 1, 1, {0}).matrix_f32("1STF", 1, 2, {1, 0});
      writer.end_frame();
    }
    file = std::make_unique<SdifFile>(save_temp(writer, "bands.sdif").c_str(), 0);
    file->read_all_frames();
    cursors = std::make_unique<PanelCursors>(file->frames);
    fill_panel_bands(*cursors);
    window.resizable(&window);
    window.end();
    // What showing the window sends every slider: their knobs are computed for their orientation.
    for (DataPanel* panel : panels()) {
      if (!panel) continue;
      panel->time_slider->handle(FL_SHOW);
      panel->vertical_slider->handle(FL_SHOW);
      panel->view->clear_damage();
    }
  }
  ~Bands() { delete_panels(); }
  std::array<DataPanel*, 3> panels() const { return {pitch_panel, sinusoids_panel, residual_panel}; }
};

std::array<int, 4> rect(const Fl_Widget* w) { return {w->x(), w->y(), w->w(), w->h()}; }

void drag(RangeSlider* slider, int offset, int move, int state = 0) {
  EXPECT_TRUE(press_and_drag(slider, slider->type() == 1, offset, {move}, state));
}

// An event at a point of a panel's view, `across` pixels from its left and `up` from its bottom, with
// the modifier keys `state`, a wheel move of (dx, dy) notches and the key `key` (a press is the left
// button's).
int at_view(DataPanel* panel, int event, int across, int up, int state = 0, int dx = 0, int dy = 0, int key = 0) {
  Fl::e_x = panel->view->x() + across;
  Fl::e_y = panel->view->y() + panel->view->h() - up;
  Fl::e_state = state;
  Fl::e_dx = dx;
  Fl::e_dy = dy;
  Fl::e_keysym = event == FL_PUSH ? FL_Button + FL_LEFT_MOUSE : key;
  int taken = panel->handle(event);
  Fl::e_clicks = 0;
  return taken;
}

Range time_of(const DataPanel* panel) { return {panel->time_slider->range_position, panel->time_slider->range_size}; }
Range vertical_of(const DataPanel* panel) { return {panel->view->vertical_position, panel->view->vertical_size}; }

// The time of a view's column and the value at a height above its bottom, as it draws them.
double time_at(SdifView* view, int column) {
  double t, dt;
  view->start_columns(t, dt);
  return t + column * dt;
}
double value_at(const SdifView* view, int up) {
  return view->vertical_position + double(up) / view->h() * view->vertical_size;
}

}  // namespace

TEST(DataPanel, BandsAndTheirLayoutFollowTheStreamsAndTheWindow) {
  const struct {
    const char* types;
    std::array<bool, 3> bands;
  } files[] = {
      {"1TRC", {false, true, false}}, {"1FQ0 1STF", {true, false, true}}, {"1FQ0 1TRC 1STF", {true, true, true}}};
  for (const auto& file : files) {
    SCOPED_TRACE(file.types);
    Bands bands(file.types);
    int child = 0;
    for (int band = 0; band < 3; ++band) {
      DataPanel* panel = bands.panels()[band];
      ASSERT_EQ(panel != nullptr, file.bands[band]);
      if (!panel) continue;
      EXPECT_EQ(bands.window.child(child++), panel);
      EXPECT_EQ(rect(panel), (std::array<int, 4>{0, 150 * band, 450, 150}));
      EXPECT_EQ(panel->contrast_slider->value(), double(band == 1 ? 0.3f : 0.5f)) << "the view's own contrast";
    }
    EXPECT_EQ(bands.window.children(), child);
  }

  // Growing the window by 450 x 150 grows each band by 450 x 50 and moves band i down by 50 i. Each
  // part follows that growth wholly or not at all, along each of x, y, width and height: the views
  // and the title spacers stretch, the sliders stretch along their length, the rest keeps its size.
  Bands bands;
  auto parts = [](DataPanel* panel) {
    Fl_Group* titles = panel->child(3)->as_group();
    return std::array<Fl_Widget*, 7>{panel->view,        panel->time_slider, panel->vertical_slider, panel->cube_toggle,
                                     titles->child(0), titles->child(1),     panel->contrast_slider};
  };
  const std::array<int, 4> follows[7] = {{0, 0, 1, 1}, {0, 1, 1, 0}, {1, 0, 0, 1}, {1, 1, 0, 0},
                                         {0, 0, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 0}};
  std::array<std::array<int, 4>, 7> before[3];
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 7; ++k) before[i][k] = rect(parts(bands.panels()[i])[k]);
  bands.window.resize(0, 0, 900, 600);
  for (int i = 0; i < 3; ++i) {
    DataPanel* panel = bands.panels()[i];
    EXPECT_EQ(rect(panel), (std::array<int, 4>{0, 200 * i, 900, 200}));
    for (int k = 0; k < 7; ++k) {
      const std::array<int, 4> growth = {450 * follows[k][0], 50 * i + 50 * follows[k][1], 450 * follows[k][2],
                                         50 * follows[k][3]};
      for (int d = 0; d < 4; ++d) EXPECT_EQ(rect(parts(panel)[k])[d], before[i][k][d] + growth[d]) << i << k << d;
    }
    EXPECT_EQ(panel->time_slider->knob_last, 878);
    EXPECT_EQ(panel->vertical_slider->knob_last, 138);
  }
  delete_panels();
  EXPECT_EQ(bands.window.children(), 0);
  EXPECT_EQ(pitch_panel, nullptr);
}

TEST(DataPanel, SlidersMoveTheirOwnViewAndCtrlGivesEveryPanelTheTimeRange) {
  for (const char* types : {"1FQ0 1TRC 1STF", "1FQ0 1TRC", "1TRC 1STF"}) {
    SCOPED_TRACE(types);
    Bands bands(types);
    RangeSlider* time = sinusoids_panel->time_slider;
    drag(time, 3, 100);      // the left end: zoom in, this panel only
    drag(time, 200, -30);    // the middle: scroll
    EXPECT_NE(sinusoids_panel->view->damage(), 0);
    sinusoids_panel->view->clear_damage();
    RangeSlider* vertical = sinusoids_panel->vertical_slider;
    drag(vertical, 86, -40, FL_CTRL);  // the bottom end; Ctrl means nothing here
    drag(vertical, 3, +7);             // the top end
    SdifView* view = sinusoids_panel->view;
    EXPECT_EQ(view->time_position, float(70.0 / 428));
    EXPECT_EQ(view->time_size, float(328.0 / 428));
    EXPECT_EQ(view->vertical_position, float(40.0 / 88));
    EXPECT_EQ(view->vertical_size, float(41.0 / 88));
    EXPECT_NE(view->damage(), 0);
    for (DataPanel* other : {pitch_panel, residual_panel}) {
      if (!other) continue;
      EXPECT_EQ(other->view->damage(), 0);
      EXPECT_EQ(other->view->time_size, 1.0f);
      EXPECT_EQ(other->time_slider->knob_first, 1);
    }

    // With Ctrl, every panel takes the dragged panel's time range, from the step Ctrl is held on,
    // without running the other sliders' callbacks.
    for (DataPanel* other : {pitch_panel, residual_panel})
      if (other) other->time_slider->callback([](Fl_Widget*, void*) { ADD_FAILURE() << "callback"; });
    drag(time, 73, -20, FL_CTRL);
    drag(time, 150, 13, FL_CTRL | FL_SHIFT);
    for (DataPanel* panel : bands.panels()) {
      if (!panel) continue;
      EXPECT_EQ(panel->time_slider->range_size, float(348.0 / 428));
      EXPECT_EQ(panel->time_slider->range_position, float(63.0 / 428));
      EXPECT_EQ(std::make_pair(panel->time_slider->knob_first, panel->time_slider->knob_last), std::make_pair(64, 411));
      EXPECT_EQ(panel->view->time_size, panel->time_slider->range_size);
      EXPECT_EQ(panel->view->time_position, panel->time_slider->range_position);
      EXPECT_NE(panel->view->damage(), 0);
      EXPECT_NE(panel->time_slider->damage(), 0);
      EXPECT_EQ(panel->view->vertical_size, panel == sinusoids_panel ? float(41.0 / 88) : 1.0f);
    }
  }
}

TEST(DataPanel, CubeToggleCubesTheVerticalShareAtOnce) {
  Bands bands;
  DataPanel* panel = residual_panel;
  RangeSlider* vertical = panel->vertical_slider;
  drag(vertical, 3, 44);  // the top end down to half the track
  ASSERT_EQ(panel->view->vertical_size, 0.5f);
  const int first = vertical->knob_first, last = vertical->knob_last;
  vertical->clear_damage();
  panel->view->clear_damage();
  click(panel->cube_toggle);
  EXPECT_EQ(panel->view->vertical_size, 0.125f);
  EXPECT_NE(panel->view->damage(), 0);
  EXPECT_NE(vertical->damage(), 0);
  EXPECT_EQ(std::make_pair(vertical->knob_first, vertical->knob_last), std::make_pair(first, last));
  // While it is on, drags cube the share, in double precision.
  drag(vertical, first + 2, 1);
  double s = vertical->range_size;
  ASSERT_EQ(s, double(float(43.0 / 88)));
  EXPECT_EQ(panel->view->vertical_size, float(s * s * s));
  EXPECT_EQ(panel->view->vertical_position, vertical->range_position);
  click(panel->cube_toggle);
  EXPECT_EQ(panel->view->vertical_size, vertical->range_size);
}

TEST(DataPanel, WheelKeysAndGrabMoveTheSlidersAsADragDoes) {
  Bands bands("1FQ0 1TRC 1STF", 1001);
  DataPanel* panel = sinusoids_panel;
  SdifView* view = panel->view;
  // The wheel zooms around the pointer: the instant under it stays within one column's time.
  const struct {
    int column, notches;
  } zooms[] = {{100, -3}, {400, -2}, {10, 1}, {215, -5}, {300, 2}};
  for (const auto& z : zooms) {
    double before = time_at(view, z.column), size = time_of(panel).size;
    ASSERT_EQ(at_view(panel, FL_MOUSEWHEEL, z.column, 50, 0, 0, z.notches), 1);
    EXPECT_NEAR(time_of(panel).size, size * std::pow(1.25, z.notches), 1e-6) << z.column;
    EXPECT_NEAR(time_at(view, z.column), before, time_at(view, 1) - time_at(view, 0)) << z.column;
  }
  // Shift or a sideways wheel pans a tenth of the span a notch, as the arrow keys do; the sliders and
  // the view agree.
  const struct {
    int event, state, dx, dy, key;
    double time_shift, vertical_shift;
  } pans[] = {
      {FL_MOUSEWHEEL, FL_SHIFT, 0, 2, 0, 0.2, 0}, {FL_MOUSEWHEEL, 0, -1, 0, 0, -0.1, 0},
      {FL_KEYBOARD, 0, 0, 0, FL_Right, 0.1, 0},   {FL_KEYBOARD, 0, 0, 0, FL_Left, -0.1, 0},
      {FL_KEYBOARD, 0, 0, 0, FL_Up, 0, 0.1},      {FL_KEYBOARD, FL_CTRL, 0, 0, FL_Down, 0, -0.1},
  };
  at_view(panel, FL_MOUSEWHEEL, 50, 50, FL_ALT, 0, -8);  // room to pan vertically
  at_view(panel, FL_MOUSEWHEEL, 200, 50, FL_ALT, 0, 3);
  for (const auto& p : pans) {
    Range time = time_of(panel), vertical = vertical_of(panel);
    ASSERT_EQ(at_view(panel, p.event, 200, 50, p.state, p.dx, p.dy, p.key), 1);
    EXPECT_NEAR(time_of(panel).position, time.position + p.time_shift * time.size, 1e-6);
    EXPECT_NEAR(vertical_of(panel).position, vertical.position + p.vertical_shift * vertical.size, 1e-6);
    EXPECT_EQ(view->time_position, panel->time_slider->range_position);
    EXPECT_EQ(vertical_of(panel).size, vertical.size);
  }
  // Alt zooms vertically around the pointer's height; + and - zoom around the view's centre, with
  // Shift vertically.
  double value = value_at(view, 80);
  at_view(panel, FL_MOUSEWHEEL, 20, 80, FL_ALT, 0, -2);
  EXPECT_NEAR(value_at(view, 80), value, 1.0 / view->h() * vertical_of(panel).size);
  double middle = time_at(view, 215), size = time_of(panel).size;
  at_view(panel, FL_KEYBOARD, 5, 5, 0, 0, 0, '=');
  EXPECT_NEAR(time_at(view, 215), middle, time_at(view, 1) - time_at(view, 0));
  EXPECT_NEAR(time_of(panel).size, size / 1.25, 1e-6);
  double vertical_size = vertical_of(panel).size;
  at_view(panel, FL_KEYBOARD, 5, 5, FL_SHIFT, 0, 0, '-');
  EXPECT_NEAR(vertical_of(panel).size, vertical_size * 1.25, 1e-6);
  // A left-button drag moves the picture with the pointer; Shift leaves it to measuring.
  Range time = time_of(panel), vertical = vertical_of(panel);
  ASSERT_EQ(at_view(panel, FL_PUSH, 100, 40), 1);
  at_view(panel, FL_DRAG, 143, 30);
  EXPECT_EQ(at_view(panel, FL_RELEASE, 143, 30), 1);
  EXPECT_NEAR(time_of(panel).position, time.position - 43.0 / view->w() * time.size, 1e-6);
  EXPECT_NEAR(vertical_of(panel).position, vertical.position + 10.0 / view->h() * vertical.size, 1e-6);
  ASSERT_EQ(at_view(panel, FL_PUSH, 100, 40, FL_SHIFT), 1);
  at_view(panel, FL_DRAG, 150, 10);
  EXPECT_EQ(at_view(panel, FL_RELEASE, 150, 10), 1);
  EXPECT_NEAR(time_of(panel).position, time.position - 43.0 / view->w() * time.size, 1e-6) << "measuring moves nothing";
  // C toggles the cube; the deepest zoom is two frames; zooming out and panning stop at the whole.
  at_view(panel, FL_KEYBOARD, 5, 5, 0, 0, 0, 'c');
  EXPECT_TRUE(panel->cube_toggle->value());
  at_view(panel, FL_MOUSEWHEEL, 100, 40, 0, 0, -60);
  EXPECT_EQ(time_of(panel).size, float(2.0 / 1000));
  at_view(panel, FL_MOUSEWHEEL, 100, 40, FL_SHIFT, 0, 10000);
  EXPECT_NEAR(time_of(panel).position + time_of(panel).size, 1.0, 1e-7);
  at_view(panel, FL_MOUSEWHEEL, 100, 40, 0, 0, 60);
  EXPECT_EQ(std::make_pair(time_of(panel).position, time_of(panel).size), std::make_pair(0.0, 1.0));
  // Home, and a double click, show the whole stream both ways.
  for (int way : {0, 1}) {
    at_view(panel, FL_MOUSEWHEEL, 100, 40, FL_ALT, 0, -3);
    at_view(panel, FL_MOUSEWHEEL, 100, 40, 0, 0, -3);
    if (way == 0) {
      at_view(panel, FL_KEYBOARD, 5, 5, 0, 0, 0, FL_Home);
    } else {
      Fl::e_clicks = 1;
      at_view(panel, FL_PUSH, 100, 40);
    }
    EXPECT_EQ(std::make_tuple(time_of(panel).size, vertical_of(panel).size, vertical_of(panel).position),
              std::make_tuple(1.0, 1.0, 0.0));
  }
}

TEST(DataPanel, CtrlMovesEveryPanelsTimeAndKeysFindThePanelUnderThePointer) {
  Bands bands("1FQ0 1TRC 1STF", 101);
  at_view(residual_panel, FL_MOUSEWHEEL, 100, 40, FL_CTRL, 0, -3);
  at_view(residual_panel, FL_KEYBOARD, 5, 5, FL_CTRL, 0, 0, FL_Right);
  at_view(residual_panel, FL_MOUSEWHEEL, 100, 40, FL_CTRL | FL_ALT, 0, -3);
  for (DataPanel* panel : bands.panels()) {
    EXPECT_EQ(time_of(panel).size, time_of(residual_panel).size);
    EXPECT_EQ(panel->view->time_position, time_of(residual_panel).position);
    EXPECT_EQ(vertical_of(panel).size == 1.0, panel != residual_panel) << "vertical ranges stay in their panel";
  }
  // A key goes to the panel under the pointer, before any focused widget.
  Fl::e_keysym = FL_Left;
  Fl::e_state = 0;
  Fl::e_x = 200;
  Fl::e_y = 20;
  Range pitch = time_of(pitch_panel), residual = time_of(residual_panel);
  EXPECT_EQ(dispatch_keys_to_panels(FL_KEYBOARD, &bands.window), 1);
  EXPECT_LT(time_of(pitch_panel).position, pitch.position);
  EXPECT_EQ(time_of(residual_panel).position, residual.position);
}

TEST(DataPanel, MenuItemsChooseAsTheKeysDo) {
  // Two files' bands: the keys act on one, the menu on the other, and they must end alike. The
  // second stream of the residual type appears in the menu, and picking it shows it.
  Bands by_keys("1FQ0 1TRC 1STF", 10);
  std::array<DataPanel*, 3> keyed = by_keys.panels();
  Bands by_menu("1FQ0 1TRC 1STF", 10);
  const struct {
    int key;
    const char* item;
  } steps[] = {{'l', "Log scale"}, {'l', "Musical scale"}, {'d', "Decibels"}, {'k', "Viridis"},
               {'k', "Magma"},     {'l', "Linear scale"},  {FL_Home, "Show whole stream"}};
  for (const auto& step : steps) {
    for (int i = 0; i < 3; ++i) {
      at_view(keyed[i], FL_KEYBOARD, 5, 5, 0, 0, 0, step.key);
      DataPanel* panel = by_menu.panels()[i];
      const Fl_Menu_Item* item = panel->menu->find_item(step.item);
      ASSERT_NE(item, nullptr) << step.item;
      panel->menu->picked(item);
      EXPECT_NE(item->value() || step.key == FL_Home, 0) << "the item shows the choice: " << step.item;
      ViewControls a = keyed[i]->controls(), b = panel->controls();
      EXPECT_EQ(std::make_tuple(a.scale, a.amplitude, a.color_map, a.time_size),
                std::make_tuple(b.scale, b.amplitude, b.color_map, b.time_size))
          << step.item;
      EXPECT_EQ(panel->view->scale, b.scale);
      EXPECT_EQ(panel->view->color_map, b.color_map);
    }
  }
}

TEST(DataPanel, StreamMenuShowsAnotherStreamOfTheType) {
  // Two Sinusoids streams, 2 with four frames and 5 with three, interleaved, and a Pitch stream.
  SdifWriter w;
  w.file_header();
  for (int i = 0; i < 4; ++i) {
    w.begin_frame("1TRC", 0.1 * i, 2, 1).matrix_f32("1TRC", 1, 3, {1, 440, 0.5f}).end_frame();
    if (i < 3) w.begin_frame("1TRC", 0.1 * i, 5, 1).matrix_f32("1TRC", 1, 3, {1, 880, 0.5f}).end_frame();
    w.begin_frame("1FQ0", 0.1 * i, 1, 1).matrix_f32("1FQ0", 1, 2, {220, 1}).end_frame();
  }
  LoadedStream s(w, "1TRC");
  Fl_Group::current(nullptr);
  DataPanel panel(0, 0, 450, 150, "Sinusoids", VIEW_TRACKS, &s.cursor);
  ASSERT_EQ(panel.streams.size(), 2u);
  EXPECT_EQ(std::make_tuple(panel.streams[0].id, panel.streams[0].frames, panel.streams[1].id, panel.streams[1].frames),
            std::make_tuple(2, 4L, 5, 3L));
  const Fl_Menu_Item* other = panel.menu->find_item("Stream/5 (3 frames)");
  ASSERT_NE(other, nullptr);
  EXPECT_FALSE(other->value());
  panel.menu->picked(other);
  EXPECT_EQ(panel.stream_id, 5);
  EXPECT_EQ(panel.view->cursor->first->stream_id, 5);
  EXPECT_TRUE(other->value());
  SlotValues frequencies, amplitudes;
  static_cast<TrackView*>(panel.view)->sample_column(0.05, frequencies, amplitudes);
  EXPECT_EQ(frequencies[1], 880.0) << "the view reads the stream it shows";
}
