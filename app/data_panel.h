// One horizontal band of the main window: a title, one view of one stream, and the sliders and toggle
// that scroll, zoom and re-contrast it. Built by the panel bands at start-up; draws nothing itself.
#pragma once

#include <FL/Fl_Group.H>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/view_navigation.h"
#include "views/panel_table.h"
#include "views/view_controls.h"
#include "views/view_probe.h"

class Fl_Box;
class Fl_Button;
class Fl_Slider;
class RangeSlider;
class SdifView;
class ViewMenu;
struct SdifFrame;
struct SdifStreamCursor;

class DataPanel : public Fl_Group {
 public:
  // All children of the panel, owned and deleted by the toolkit's groups.
  RangeSlider* time_slider;
  RangeSlider* vertical_slider;
  Fl_Slider* contrast_slider;  // null when the view has no contrast curve
  Fl_Button* cube_toggle;
  SdifView* view;
  ViewMenu* menu;

  // The panel's choices beside its sliders, as its view menu and keys set them.
  VerticalScale scale = VerticalScale::Linear;
  AmplitudeScale amplitude = AmplitudeScale::Curve;
  ColorMap color_map = ColorMap::Ramp;
  bool grid = false;
  // The streams that hold frames of the panel's type, and the ID of the one shown.
  std::vector<StreamOfType> streams;
  int32_t stream_id = 0;

  // Joins the current group and leaves it current again. The title is kept, not copied. A kind that
  // is not a ViewKind gets a blank view, so that the controls still have something to steer.
  DataPanel(int x, int y, int w, int h, const char* title, int kind, SdifStreamCursor* cursor);

  // What the controls hold now, as the view is shown through them.
  ViewControls controls() const;

  // Over the view: the title bar reads what the view shows under the pointer, the wheel zooms and
  // pans, a left-button drag moves the picture with the pointer (with Shift, it measures) and a double
  // click shows the whole stream. Anything else goes to the panel's widgets.
  int handle(int event) override;
  // Takes a key of the panel's (arrows, + and -, Home, C, L, D, K, G, Ctrl+C) for this panel; false
  // for any other.
  bool take_key();

  // The readout line the title bar shows, empty while the pointer is off the view.
  const std::string& readout() const { return readout_line; }
  // Puts the readout line on the clipboard and the primary selection; false when there is none.
  bool copy_readout() const;

  // The view menu's and the keys' choices, each shown at once.
  void choose_scale(VerticalScale chosen);
  void choose_amplitude(AmplitudeScale chosen);
  void choose_color_map(ColorMap chosen);
  void show_grid(bool shown);
  // Shows stream `id`, which holds frames of the panel's type, in place of the one shown.
  void show_stream(int32_t id);
  // Both ranges back to the whole stream, as a drag would set them.
  void show_whole();

 private:
  // The time range and the view's vertical range, as shares of the whole.
  Range time_range() const;
  Range vertical_range() const;
  // Move the sliders as a drag does; the vertical range is the view's, which the cube toggle makes
  // the cube of the slider's share.
  void move_time(Range range);
  void move_vertical(Range range);
  double shortest_time();
  bool wheel();
  // + and - : the time range, or the vertical one, zoomed around the view's middle.
  void zoom_middle(double factor, bool vertical);
  // The view shown through the controls as they are now, and the menu marking them.
  void changed();
  // The title bar's line for the pointer where it is now: what the view shows there, or the
  // difference from where measuring began; nothing off the view.
  void show_readout();
  // Where the pointer is over the view, as shares of its width from the left and of its height from
  // the bottom.
  double pointer_across() const;
  double pointer_up() const;

  double shortest_time_share = 0.0;  // worked out at the first zoom
  bool grabbing = false;
  int grab_x = 0, grab_y = 0;
  int kind;
  // The title bar's stretch between the title and the contrast slider, whose label is the readout.
  Fl_Box* readout_box = nullptr;
  std::string readout_line;
  // Measuring: where it began and what the view showed there.
  bool measuring = false;
  int measure_x = 0, measure_y = 0;
  Probe measure_from;
  // The document's first frame and the panel's frame type, whose streams the panel can show.
  SdifFrame* document = nullptr;
  const char* frame_type = nullptr;
  // A stream the user chose in place of the one start-up gave; the panel shows it while it lives.
  std::unique_ptr<SdifStreamCursor> chosen_stream;
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
