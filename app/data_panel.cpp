// The data panel's widget tree and the callbacks that copy slider fractions into its view, and the
// time-range synchronisation between panels. The view reads the fractions at its next draw.
#include "app/data_panel.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Slider.H>

#include "app/range_slider.h"
#include "views/pitch_view.h"
#include "views/residual_view.h"
#include "views/track_view.h"

DataPanel* pitch_panel = nullptr;
DataPanel* sinusoids_panel = nullptr;
DataPanel* residual_panel = nullptr;

namespace {

SdifView* make_view(int kind, int x, int y, int w, int h, SdifStreamCursor* cursor) {
  switch (kind) {
    case VIEW_RESIDUAL:
      return new ResidualView(x, y, w, h, cursor);
    case VIEW_TRACKS:
      return new TrackView(x, y, w, h, cursor);
    case VIEW_PITCH:
      return new PitchView(x, y, w, h, cursor);
    default:
      return new SdifView(x, y, w, h, cursor);
  }
}

// The vertical slider always shows its share s itself; with the toggle on the view shows s cubed, so
// the first half of the slider's travel reaches down to an eighth of the range.
void apply_vertical_range(DataPanel* panel) {
  double s = panel->vertical_slider->range_size;
  double factor = panel->cube_toggle->value() ? s * s : 1.0;
  panel->view->vertical_position = panel->vertical_slider->range_position;
  panel->view->vertical_size = float(factor * s);
}

}  // namespace

DataPanel::DataPanel(int x, int y, int w, int h, const char* title, int kind, SdifStreamCursor* cursor)
    : Fl_Group(x, y, w, h) {
  time_slider = new RangeSlider(x, y + h - 20, w - 20, 20);
  time_slider->type(1);

  Fl_Group* side_group = new Fl_Group(x + w - 20, y + 20, 20, h - 20);
  vertical_slider = new RangeSlider(x + w - 20, y + 20, 20, h - 60);
  cube_toggle = new Fl_Button(x + w - 18, y + h - 38, 16, 16);
  cube_toggle->box(FL_THIN_UP_BOX);
  cube_toggle->type(FL_TOGGLE_BUTTON);
  side_group->resizable(vertical_slider);
  side_group->end();

  view = make_view(kind, x, y + 20, w - 20, h - 40, cursor);

  Fl_Group* title_group = new Fl_Group(x, y, w, 20);
  Fl_Box* title_box = new Fl_Box(x, y + 4, 100, 16, title);
  title_box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  title_box->labelsize(12);
  Fl_Box* spacer = new Fl_Box(x + 100, y + 4, w - 200, 16);
  title_group->resizable(spacer);
  contrast_slider = nullptr;
  if (view->contrast_curve) {
    contrast_slider = new Fl_Slider(x + w - 100, y + 4, 100, 16);
    contrast_slider->box(FL_THIN_DOWN_BOX);
    contrast_slider->type(FL_HOR_SLIDER);
    contrast_slider->callback(contrast_slider_cb, this);
    contrast_slider->value(double(view->contrast_curve->contrast));
  }
  title_group->end();

  time_slider->callback(time_slider_cb, this);
  vertical_slider->callback(vertical_slider_cb, this);
  cube_toggle->callback(cube_toggle_cb, this);

  resizable(view);
  end();
}

void time_slider_cb(Fl_Widget*, void* data) {
  DataPanel* panel = static_cast<DataPanel*>(data);
  panel->view->time_position = panel->time_slider->range_position;
  panel->view->time_size = panel->time_slider->range_size;
  panel->view->redraw();
  panel->do_callback(panel, panel->user_data());
}

void vertical_slider_cb(Fl_Widget*, void* data) {
  DataPanel* panel = static_cast<DataPanel*>(data);
  apply_vertical_range(panel);
  panel->view->redraw();
}

void cube_toggle_cb(Fl_Widget*, void* data) {
  DataPanel* panel = static_cast<DataPanel*>(data);
  apply_vertical_range(panel);
  panel->vertical_slider->redraw();
  panel->view->redraw();
}

void contrast_slider_cb(Fl_Widget*, void* data) {
  DataPanel* panel = static_cast<DataPanel*>(data);
  panel->view->contrast_curve->contrast = float(panel->contrast_slider->value());
  panel->view->contrast_curve->fill();
  panel->view->redraw();
}

void sync_time_sliders(Fl_Widget* widget, void*) {
  // The modifiers of the event being handled, so Ctrl pressed mid-drag counts from the next step.
  if (!(Fl::event_state() & FL_CTRL)) return;
  DataPanel* moved = static_cast<DataPanel*>(widget);
  const RangeSlider* source = moved->time_slider;
  for (DataPanel* panel : {pitch_panel, sinusoids_panel, residual_panel})
    if (panel != moved) set_time_range(panel, source->range_size, source->range_position);
}

void set_time_range(DataPanel* panel, float size, float position) {
  if (!panel) return;
  RangeSlider* slider = panel->time_slider;
  slider->range_size = size;
  slider->compute_knob();
  slider->range_position = position;
  slider->compute_knob();
  panel->view->time_position = slider->range_position;
  panel->view->time_size = slider->range_size;
  slider->redraw();
  panel->view->redraw();
}
