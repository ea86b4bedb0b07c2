// One horizontal band of the main window: a title, one view of one stream, and the sliders and toggle
// that scroll, zoom and re-contrast it. Built by the panel bands at start-up; draws nothing itself.
#pragma once

#include <FL/Fl_Group.H>

#include "views/panel_table.h"
#include "views/view_controls.h"

class Fl_Button;
class Fl_Slider;
class RangeSlider;
class SdifView;
struct SdifStreamCursor;

class DataPanel : public Fl_Group {
 public:
  // All children of the panel, owned and deleted by the toolkit's groups.
  RangeSlider* time_slider;
  RangeSlider* vertical_slider;
  Fl_Slider* contrast_slider;  // null when the view has no contrast curve
  Fl_Button* cube_toggle;
  SdifView* view;

  // Joins the current group and leaves it current again. The title is kept, not copied. A kind that
  // is not a ViewKind gets a blank view, so that the controls still have something to steer.
  DataPanel(int x, int y, int w, int h, const char* title, int kind, SdifStreamCursor* cursor);

  // What the controls hold now, as the view is shown through them.
  ViewControls controls() const;
};

// The panels of the three bands, null while a band is empty.
extern DataPanel* pitch_panel;
extern DataPanel* sinusoids_panel;
extern DataPanel* residual_panel;

// The controls' callbacks; each takes its panel as user data.
void time_slider_cb(Fl_Widget* widget, void* panel);
void vertical_slider_cb(Fl_Widget* widget, void* panel);
void cube_toggle_cb(Fl_Widget* widget, void* panel);
void contrast_slider_cb(Fl_Widget* widget, void* panel);

// A panel's own callback, invoked after each change of its time range: while Ctrl is held it gives
// every other panel the same time range.
void sync_time_sliders(Fl_Widget* panel, void* data);
// Sets a panel's time slider and view without invoking any callback; a null panel is ignored.
void set_time_range(DataPanel* panel, float size, float position);
