// The data panel's widget tree and the callbacks that copy slider fractions into its view, and the
// time-range synchronisation between panels. The view reads the fractions at its next draw.
#include "app/data_panel.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Slider.H>

#include "app/range_slider.h"
#include "views/view_factory.h"

DataPanel* pitch_panel = nullptr;
DataPanel* sinusoids_panel = nullptr;
DataPanel* residual_panel = nullptr;

namespace {

// The panel's layout in pixels. The title bar runs along the top, the time slider under the view and
// the vertical slider at its right, over a square cell that holds the cube toggle in its middle.
constexpr int TITLE_BAR = 20;        // height of the title bar
constexpr int TITLE_TOP = 4;         // from the bar's top to the title and the contrast slider
constexpr int TITLE_WIDTH = 100;     // of the title, at the left of the bar
constexpr int TITLE_FONT_SIZE = 12;
constexpr int CONTRAST_WIDTH = 100;  // of the contrast slider, at the right of the bar
constexpr int SLIDER = 20;           // thickness of the time and vertical sliders
constexpr int TOGGLE_CELL = SLIDER;  // side of the cell under the vertical slider
constexpr int TOGGLE = 16;           // side of the cube toggle
constexpr int TITLE_HEIGHT = TITLE_BAR - TITLE_TOP;
constexpr int TOGGLE_INSET = (TOGGLE_CELL - TOGGLE) / 2;

// The view shown as the panel's controls say; the caller redraws what changed.
void apply(DataPanel* panel) { apply_controls(panel->controls(), *panel->view); }

}  // namespace

DataPanel::DataPanel(int x, int y, int w, int h, const char* title, int kind, SdifStreamCursor* cursor)
    : Fl_Group(x, y, w, h) {
  time_slider = new RangeSlider(x, y + h - SLIDER, w - SLIDER, SLIDER);
  time_slider->type(FL_HORIZONTAL);

  const int side_x = x + w - SLIDER, cell_y = y + h - SLIDER - TOGGLE_CELL;
  Fl_Group* side_group = new Fl_Group(side_x, y + TITLE_BAR, SLIDER, h - TITLE_BAR);
  vertical_slider = new RangeSlider(side_x, y + TITLE_BAR, SLIDER, cell_y - y - TITLE_BAR);
  cube_toggle = new Fl_Button(side_x + TOGGLE_INSET, cell_y + TOGGLE_INSET, TOGGLE, TOGGLE);
  cube_toggle->box(FL_THIN_UP_BOX);
  cube_toggle->type(FL_TOGGLE_BUTTON);
  side_group->resizable(vertical_slider);
  side_group->end();

  view = make_view(kind, x, y + TITLE_BAR, w - SLIDER, h - TITLE_BAR - SLIDER, cursor);

  Fl_Group* title_group = new Fl_Group(x, y, w, TITLE_BAR);
  Fl_Box* title_box = new Fl_Box(x, y + TITLE_TOP, TITLE_WIDTH, TITLE_HEIGHT, title);
  title_box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  title_box->labelsize(TITLE_FONT_SIZE);
  Fl_Box* spacer = new Fl_Box(x + TITLE_WIDTH, y + TITLE_TOP, w - TITLE_WIDTH - CONTRAST_WIDTH, TITLE_HEIGHT);
  title_group->resizable(spacer);
  contrast_slider = nullptr;
  if (view->contrast_curve) {
    contrast_slider = new Fl_Slider(x + w - CONTRAST_WIDTH, y + TITLE_TOP, CONTRAST_WIDTH, TITLE_HEIGHT);
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

ViewControls DataPanel::controls() const {
  ViewControls c;
  c.time_position = time_slider->range_position;
  c.time_size = time_slider->range_size;
  c.vertical_position = vertical_slider->range_position;
  c.vertical_share = vertical_slider->range_size;
  c.cube = cube_toggle->value() != 0;
  if (contrast_slider) c.contrast = float(contrast_slider->value());
  return c;
}

void time_slider_cb(Fl_Widget*, void* data) {
  DataPanel* panel = static_cast<DataPanel*>(data);
  apply(panel);
  panel->view->redraw();
  panel->do_callback(panel, panel->user_data());
}

void vertical_slider_cb(Fl_Widget*, void* data) {
  DataPanel* panel = static_cast<DataPanel*>(data);
  apply(panel);
  panel->view->redraw();
}

void cube_toggle_cb(Fl_Widget*, void* data) {
  DataPanel* panel = static_cast<DataPanel*>(data);
  apply(panel);
  panel->vertical_slider->redraw();
  panel->view->redraw();
}

void contrast_slider_cb(Fl_Widget*, void* data) {
  DataPanel* panel = static_cast<DataPanel*>(data);
  apply(panel);
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
  apply(panel);
  slider->redraw();
  panel->view->redraw();
}
