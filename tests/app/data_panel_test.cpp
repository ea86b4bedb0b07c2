// Tests of the data panels and the panel bands without a display: the widget tree and its layout,
// what each control's events change in the view, the cube toggle, the contrast slider, and the
// time-range synchronisation held by Ctrl.
#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Slider.H>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "app/data_panel.h"
#include "app/panel_bands.h"
#include "app/range_slider.h"
#include "tests/support/fltk_driver.h"
#include "tests/support/loaded_stream.h"
#include "views/pitch_view.h"
#include "views/residual_view.h"
#include "views/track_view.h"

namespace {

// A file holding the streams whose types are listed, in one window with its bands filled as at start-up.
struct Bands {
  SdifWriter writer;
  std::unique_ptr<LoadedStream> pitch, sinusoids, residual;
  Fl_Double_Window window{450, 450, "SDIF"};

  explicit Bands(const std::string& types = "1FQ0 1TRC 1STF") {
    writer.file_header();
    for (int i = 0; i < 4; ++i) {
      if (types.find("1FQ0") != std::string::npos)
        writer.begin_frame("1FQ0", 0.1 * i, 1, 1).matrix_f32("1FQ0", 1, 2, {220.0f + i, 0.9f}).end_frame();
      if (types.find("1TRC") != std::string::npos)
        writer.begin_frame("1TRC", 0.1 * i, 2, 1).matrix_f32("1TRC", 1, 4, {1, 440, 0.5f, 0}).end_frame();
      if (types.find("1STF") != std::string::npos)
        writer.begin_frame("1STF", 0.1 * i, 3, 2)
            .matrix_f32("ISTF", 1, 3, {0, 0.1f, 1024})
            .matrix_f32("1STF", 2, 2, {0.5f, 0, 0.25f, 0.25f})
            .end_frame();
    }
    pitch = std::make_unique<LoadedStream>(writer, "1FQ0");
    sinusoids = std::make_unique<LoadedStream>(writer, "1TRC");
    residual = std::make_unique<LoadedStream>(writer, "1STF");
    fill_panel_bands(&pitch->cursor, &sinusoids->cursor, &residual->cursor);
    window.resizable(&window);
    window.end();
    // What showing the window sends every slider: their knobs are computed for their orientation.
    for (DataPanel* panel : panels()) {
      if (!panel) continue;
      panel->time_slider->handle(FL_SHOW);
      panel->vertical_slider->handle(FL_SHOW);
    }
  }
  ~Bands() { delete_panels(); }

  std::array<DataPanel*, 3> panels() const { return {pitch_panel, sinusoids_panel, residual_panel}; }
  void clear_damage() {
    for (DataPanel* panel : panels()) {
      panel->view->clear_damage();
      panel->time_slider->clear_damage();
      panel->vertical_slider->clear_damage();
    }
  }
};

struct Rect {
  int x, y, w, h;
  bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
std::ostream& operator<<(std::ostream& out, const Rect& r) {
  return out << "(" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
}
Rect rect(const Fl_Widget* widget) { return {widget->x(), widget->y(), widget->w(), widget->h()}; }

// Presses a slider at `offset` pixels from its left or top edge and drags the pointer by `move`, with
// the given modifier keys held.
void drag(RangeSlider* slider, int offset, int move, int state = 0) {
  EXPECT_TRUE(press_and_drag(slider, slider->type() == 1, offset, {move}, state));
}

int slider_callbacks = 0;
void count_slider_callback(Fl_Widget*, void*) { ++slider_callbacks; }

}  // namespace

TEST(DataPanel, BandsHoldTheWidgetTreeAtItsRectangles) {
  Bands bands;
  ASSERT_EQ(bands.window.children(), 3);
  const char* titles[] = {"Pitch", "Sinusoids", "Residual"};
  const float contrasts[] = {0.5f, 0.3f, 0.5f};
  const SdifStreamCursor* cursors[] = {&bands.pitch->cursor, &bands.sinusoids->cursor, &bands.residual->cursor};
  for (int i = 0; i < 3; ++i) {
    DataPanel* panel = bands.panels()[i];
    const int y = 150 * i;
    SCOPED_TRACE(titles[i]);
    ASSERT_EQ(bands.window.child(i), panel);
    EXPECT_EQ(rect(panel), (Rect{0, y, 450, 150}));
    EXPECT_EQ(panel->label(), nullptr);
    EXPECT_EQ(panel->callback(), sync_time_sliders);
    EXPECT_EQ(panel->user_data(), nullptr);
    EXPECT_EQ(panel->view->cursor, cursors[i]);
    EXPECT_EQ(panel->resizable(), panel->view);

    ASSERT_EQ(panel->children(), 4);
    EXPECT_EQ(panel->child(0), panel->time_slider);
    EXPECT_EQ(rect(panel->time_slider), (Rect{0, y + 130, 430, 20}));
    EXPECT_EQ(panel->time_slider->type(), 1);
    EXPECT_EQ(panel->time_slider->box(), FL_THIN_DOWN_FRAME);
    EXPECT_EQ(panel->time_slider->callback(), time_slider_cb);
    EXPECT_EQ(panel->time_slider->user_data(), panel);

    Fl_Group* side = panel->child(1)->as_group();
    ASSERT_NE(side, nullptr);
    EXPECT_EQ(rect(side), (Rect{430, y + 20, 20, 130}));
    ASSERT_EQ(side->children(), 2);
    EXPECT_EQ(side->child(0), panel->vertical_slider);
    EXPECT_EQ(side->child(1), panel->cube_toggle);
    EXPECT_EQ(side->resizable(), panel->vertical_slider);
    EXPECT_EQ(rect(panel->vertical_slider), (Rect{430, y + 20, 20, 90}));
    EXPECT_EQ(panel->vertical_slider->type(), 0);
    EXPECT_EQ(panel->vertical_slider->callback(), vertical_slider_cb);
    EXPECT_EQ(rect(panel->cube_toggle), (Rect{432, y + 112, 16, 16}));
    EXPECT_EQ(panel->cube_toggle->type(), FL_TOGGLE_BUTTON);
    EXPECT_EQ(panel->cube_toggle->box(), FL_THIN_UP_BOX);
    EXPECT_EQ(panel->cube_toggle->value(), 0);
    EXPECT_EQ(panel->cube_toggle->callback(), cube_toggle_cb);
    EXPECT_EQ(panel->cube_toggle->user_data(), panel);

    EXPECT_EQ(panel->child(2), panel->view);
    EXPECT_EQ(rect(panel->view), (Rect{0, y + 20, 430, 110}));

    Fl_Group* title_group = panel->child(3)->as_group();
    ASSERT_NE(title_group, nullptr);
    EXPECT_EQ(rect(title_group), (Rect{0, y, 450, 20}));
    ASSERT_EQ(title_group->children(), 3);
    Fl_Widget* title = title_group->child(0);
    EXPECT_EQ(rect(title), (Rect{0, y + 4, 100, 16}));
    EXPECT_STREQ(title->label(), titles[i]);
    EXPECT_EQ(title->align(), FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    EXPECT_EQ(title->labelsize(), 12);
    EXPECT_EQ(title->box(), FL_NO_BOX);
    EXPECT_EQ(rect(title_group->child(1)), (Rect{100, y + 4, 250, 16}));
    EXPECT_EQ(title_group->resizable(), title_group->child(1));
    Fl_Slider* contrast = panel->contrast_slider;
    ASSERT_EQ(title_group->child(2), contrast);
    EXPECT_EQ(rect(contrast), (Rect{350, y + 4, 100, 16}));
    EXPECT_EQ(contrast->type(), FL_HOR_SLIDER);
    EXPECT_EQ(contrast->box(), FL_THIN_DOWN_BOX);
    EXPECT_EQ(contrast->minimum(), 0.0);
    EXPECT_EQ(contrast->maximum(), 1.0);
    EXPECT_EQ(contrast->step(), 0.0);
    EXPECT_EQ(contrast->when(), FL_WHEN_CHANGED);
    EXPECT_EQ(contrast->value(), double(contrasts[i]));
    EXPECT_EQ(contrast->callback(), contrast_slider_cb);
    EXPECT_EQ(contrast->user_data(), panel);
  }
  EXPECT_NE(dynamic_cast<PitchView*>(pitch_panel->view), nullptr);
  EXPECT_NE(dynamic_cast<TrackView*>(sinusoids_panel->view), nullptr);
  EXPECT_NE(dynamic_cast<ResidualView*>(residual_panel->view), nullptr);
}

TEST(DataPanel, OnlyStreamsWithFramesGetTheirBand) {
  const struct {
    const char* types;
    bool pitch, sinusoids, residual;
  } files[] = {{"1TRC", false, true, false},      {"1FQ0", true, false, false},      {"1STF", false, false, true},
               {"1FQ0 1TRC", true, true, false}, {"1FQ0 1STF", true, false, true}, {"1TRC 1STF", false, true, true}};
  for (const auto& file : files) {
    SCOPED_TRACE(file.types);
    Bands bands(file.types);
    EXPECT_EQ(pitch_panel != nullptr, file.pitch);
    EXPECT_EQ(sinusoids_panel != nullptr, file.sinusoids);
    EXPECT_EQ(residual_panel != nullptr, file.residual);
    // The panels that exist keep their own bands, in order.
    int child = 0;
    for (int band = 0; band < 3; ++band) {
      DataPanel* panel = bands.panels()[band];
      if (!panel) continue;
      ASSERT_LT(child, bands.window.children());
      EXPECT_EQ(bands.window.child(child++), panel);
      EXPECT_EQ(panel->y(), 150 * band);
    }
    EXPECT_EQ(bands.window.children(), child);
  }
}

TEST(DataPanel, DeletingThePanelsEmptiesTheWindow) {
  Bands bands;
  delete_panels();
  EXPECT_EQ(bands.window.children(), 0);
  EXPECT_EQ(pitch_panel, nullptr);
  EXPECT_EQ(sinusoids_panel, nullptr);
  EXPECT_EQ(residual_panel, nullptr);
}

TEST(DataPanel, WindowResizeStretchesOnlyTheViewsAndSpacers) {
  Bands bands;
  bands.window.resize(0, 0, 900, 600);
  for (int i = 0; i < 3; ++i) {
    DataPanel* panel = bands.panels()[i];
    const int y = 200 * i;
    SCOPED_TRACE(i);
    EXPECT_EQ(rect(panel), (Rect{0, y, 900, 200}));
    EXPECT_EQ(rect(panel->view), (Rect{0, y + 20, 880, 160}));
    EXPECT_EQ(rect(panel->time_slider), (Rect{0, y + 180, 880, 20}));
    EXPECT_EQ(rect(panel->vertical_slider), (Rect{880, y + 20, 20, 140}));
    EXPECT_EQ(rect(panel->cube_toggle), (Rect{882, y + 162, 16, 16}));
    Fl_Group* title_group = panel->child(3)->as_group();
    EXPECT_EQ(rect(title_group->child(0)), (Rect{0, y + 4, 100, 16}));
    EXPECT_EQ(rect(title_group->child(1)), (Rect{100, y + 4, 700, 16}));
    EXPECT_EQ(rect(panel->contrast_slider), (Rect{800, y + 4, 100, 16}));
    // The knobs scale with their sliders.
    EXPECT_EQ(panel->time_slider->knob_last, 878);
    EXPECT_EQ(panel->vertical_slider->knob_last, 138);
  }
}

TEST(DataPanel, ViewWithoutContrastCurveGetsNoContrastSlider) {
  Bands bands("1TRC");
  Fl_Group::current(&bands.window);
  DataPanel* blank = new DataPanel(0, 300, 450, 150, "Blank", 7, &bands.sinusoids->cursor);
  EXPECT_EQ(Fl_Group::current(), &bands.window);
  EXPECT_EQ(blank->parent(), &bands.window);
  ASSERT_EQ(blank->view->contrast_curve, nullptr);
  EXPECT_EQ(blank->contrast_slider, nullptr);
  Fl_Group* title_group = blank->child(3)->as_group();
  ASSERT_EQ(title_group->children(), 2);
  EXPECT_EQ(rect(title_group->child(1)), (Rect{100, 304, 250, 16}));
  // Its controls still work.
  drag(blank->time_slider, 3, 100);
  EXPECT_EQ(blank->view->time_position, blank->time_slider->range_position);
  delete blank;
}

TEST(DataPanel, SlidersScrollAndZoomTheirOwnViewOnly) {
  Bands bands;
  for (DataPanel* panel : bands.panels()) {
    bands.clear_damage();
    RangeSlider* time = panel->time_slider;
    drag(time, 3, 100);  // the left end: zoom in
    drag(time, 200, -30);  // the middle: scroll
    EXPECT_EQ(time->knob_first, 71);
    EXPECT_EQ(time->range_position, float(70.0 / 428));
    EXPECT_EQ(time->range_size, float(328.0 / 428));
    EXPECT_EQ(panel->view->time_position, time->range_position);
    EXPECT_EQ(panel->view->time_size, time->range_size);

    RangeSlider* vertical = panel->vertical_slider;
    drag(vertical, 86, -40);  // the bottom end
    drag(vertical, 3, +7);    // the top end
    EXPECT_EQ(vertical->range_position, float(40.0 / 88));
    EXPECT_EQ(vertical->range_size, float(41.0 / 88));
    EXPECT_EQ(panel->view->vertical_position, vertical->range_position);
    EXPECT_EQ(panel->view->vertical_size, vertical->range_size);
    EXPECT_NE(panel->view->damage(), 0);

    for (DataPanel* other : bands.panels()) {
      if (other == panel) continue;
      EXPECT_EQ(other->view->damage(), 0);
      EXPECT_EQ(other->view->time_size, other->time_slider->range_size);
      EXPECT_EQ(other->view->time_position, other->time_slider->range_position);
      EXPECT_EQ(other->view->vertical_size, other->vertical_slider->range_size);
    }
  }
}

TEST(DataPanel, CtrlDragGivesEveryOtherPanelTheSameTimeRange) {
  for (const char* types : {"1FQ0 1TRC 1STF", "1FQ0 1TRC", "1TRC 1STF"}) {
    SCOPED_TRACE(types);
    Bands bands(types);
    for (DataPanel* panel : bands.panels())
      if (panel) panel->time_slider->callback(count_slider_callback);
    sinusoids_panel->time_slider->callback(time_slider_cb, sinusoids_panel);
    slider_callbacks = 0;
    for (DataPanel* panel : bands.panels()) {
      if (!panel) continue;
      panel->view->clear_damage();
      panel->time_slider->clear_damage();
    }

    RangeSlider* source = sinusoids_panel->time_slider;
    drag(source, 3, 100, FL_CTRL);
    drag(source, 426, -20, FL_CTRL);
    drag(source, 150, 13, FL_CTRL | FL_SHIFT);
    drag(sinusoids_panel->vertical_slider, 3, 30, FL_CTRL);
    for (DataPanel* panel : bands.panels()) {
      if (!panel) continue;
      EXPECT_EQ(panel->time_slider->range_size, float(308.0 / 428));
      EXPECT_EQ(panel->time_slider->range_position, float(113.0 / 428));
      EXPECT_EQ(panel->time_slider->knob_first, 114);
      EXPECT_EQ(panel->time_slider->knob_last, 421);
      EXPECT_EQ(panel->view->time_size, panel->time_slider->range_size);
      EXPECT_EQ(panel->view->time_position, panel->time_slider->range_position);
      EXPECT_NE(panel->view->damage(), 0);
      EXPECT_NE(panel->time_slider->damage(), 0);
      if (panel == sinusoids_panel) continue;
      EXPECT_EQ(panel->vertical_slider->range_size, 1.0f);
      EXPECT_EQ(panel->view->vertical_size, 1.0f);
    }
    EXPECT_EQ(slider_callbacks, 0);

    // Without Ctrl only the dragged panel moves.
    drag(source, 160, 20);
    for (DataPanel* panel : bands.panels()) {
      if (!panel || panel == sinusoids_panel) continue;
      EXPECT_EQ(panel->time_slider->range_position, float(113.0 / 428));
    }
    EXPECT_EQ(sinusoids_panel->view->time_position, float(120.0 / 428));  // stopped at the right end
  }
}

TEST(DataPanel, CubeToggleCubesTheVerticalShareAtOnce) {
  Bands bands;
  DataPanel* panel = residual_panel;
  RangeSlider* vertical = panel->vertical_slider;
  drag(vertical, 3, 44);  // the top end down to half the track
  ASSERT_EQ(vertical->range_size, 0.5f);
  EXPECT_EQ(panel->view->vertical_size, 0.5f);
  const int first = vertical->knob_first, last = vertical->knob_last;

  bands.clear_damage();
  click(panel->cube_toggle);
  EXPECT_EQ(panel->cube_toggle->value(), 1);
  EXPECT_EQ(panel->view->vertical_size, 0.125f);
  EXPECT_NE(panel->view->damage(), 0);
  EXPECT_NE(vertical->damage(), 0);
  EXPECT_EQ(vertical->range_size, 0.5f);
  EXPECT_EQ(vertical->knob_first, first);
  EXPECT_EQ(vertical->knob_last, last);

  // While it is on, drags cube the share, in double precision.
  drag(vertical, first + 2, 1);
  double s = vertical->range_size;
  ASSERT_EQ(s, double(float(43.0 / 88)));
  EXPECT_EQ(panel->view->vertical_size, float(s * s * s));
  EXPECT_EQ(panel->view->vertical_position, vertical->range_position);

  click(panel->cube_toggle);
  EXPECT_EQ(panel->cube_toggle->value(), 0);
  EXPECT_EQ(panel->view->vertical_size, vertical->range_size);
}

TEST(DataPanel, ContrastSliderRefillsTheCurveBeforeTheViewRedraws) {
  Bands bands;
  DataPanel* panel = sinusoids_panel;
  Fl_Slider* slider = panel->contrast_slider;
  bands.clear_damage();
  // Pressed inside, then dragged past the right end: the valuator stops at its maximum.
  Fl::e_x = slider->x() + 50;
  Fl::e_y = slider->y() + 8;
  ASSERT_EQ(slider->handle(FL_PUSH), 1);
  Fl::e_x = slider->x() + 400;
  slider->handle(FL_DRAG);
  slider->handle(FL_RELEASE);
  EXPECT_EQ(slider->value(), 1.0);
  EXPECT_EQ(panel->view->contrast_curve->contrast, 1.0f);
  ContrastCurve expected(1.0f);
  for (int i = 0; i < 8192; ++i) ASSERT_EQ(panel->view->contrast_curve->table[i], expected.table[i]) << i;
  EXPECT_NE(panel->view->damage(), 0);
  EXPECT_EQ(pitch_panel->view->contrast_curve->contrast, 0.5f);
}
