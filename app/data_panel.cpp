// The data panel's widget tree and the callbacks that copy slider fractions into its view, and the
// time-range synchronisation between panels. The view reads the fractions at its next draw.
#include "app/data_panel.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Slider.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>

#include "app/range_slider.h"
#include "app/readout_text.h"
#include "app/view_menu.h"
#include "sdif/sdif_document.h"
#include "views/view_factory.h"

DataPanel* pitch_panel = nullptr;
DataPanel* sinusoids_panel = nullptr;
DataPanel* residual_panel = nullptr;

namespace {

// The choice after `now` in `all`, from the last back to the first.
template <class Choice, size_t N>
Choice next_of(const Choice (&all)[N], Choice now) {
  for (size_t i = 0; i + 1 < N; ++i)
    if (all[i] == now) return all[i + 1];
  return all[0];
}

// The panel's layout in pixels. The title bar runs along the top, the time slider under the view and
// the vertical slider at its right, over a square cell that holds the cube toggle in its middle.
constexpr int TITLE_BAR = 20;        // height of the title bar
constexpr int TITLE_TOP = 4;         // from the bar's top to the title and the contrast slider
constexpr int TITLE_WIDTH = 100;     // of the title, at the left of the bar
constexpr int TITLE_FONT_SIZE = 12;
constexpr int LABEL_INSET = 3;      // the toolkit's margin before a label aligned left inside its box
constexpr int READOUT_GAP = 8;      // from the title's text to the readout's box
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
    : Fl_Group(x, y, w, h), kind(kind) {
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
  // The stretch holds the readout: a label in the title's font, cut at its ends, and none at rest.
  // It paints its own background, the window's, so that a new readout redraws this box alone and
  // never the view below it. It starts just after the title's text, over the empty end of the title's
  // box, since a partial's line needs nearly all of a 450-pixel bar.
  fl_open_display();
  fl_font(title_box->labelfont(), TITLE_FONT_SIZE);
  const int title_end = x + LABEL_INSET + (title ? int(std::ceil(fl_width(title))) : 0);
  const int readout_x = std::min(x + TITLE_WIDTH, title_end + READOUT_GAP);
  readout_box = new Fl_Box(readout_x, y + TITLE_TOP, x + w - CONTRAST_WIDTH - readout_x, TITLE_HEIGHT);
  readout_box->box(FL_FLAT_BOX);
  readout_box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  readout_box->labelsize(TITLE_FONT_SIZE);
  // The title keeps its size as the bar stretches: the part that stretches starts where the title's
  // box ends, and the readout box with it.
  Fl_Box* stretch = new Fl_Box(x + TITLE_WIDTH, y + TITLE_TOP, w - TITLE_WIDTH - CONTRAST_WIDTH, TITLE_HEIGHT);
  title_group->resizable(stretch);
  contrast_slider = nullptr;
  if (view->contrast_curve) {
    contrast_slider = new Fl_Slider(x + w - CONTRAST_WIDTH, y + TITLE_TOP, CONTRAST_WIDTH, TITLE_HEIGHT);
    contrast_slider->box(FL_THIN_DOWN_BOX);
    contrast_slider->type(FL_HOR_SLIDER);
    contrast_slider->callback(contrast_slider_cb, this);
    contrast_slider->value(double(view->contrast_curve->contrast));
  }
  title_group->end();

  if (const PanelSpec* spec = panel_of(kind); spec && cursor && cursor->first) {
    for (document = cursor->first; document->prev;) document = document->prev;
    frame_type = spec->frame_type;
    streams = streams_of_type(document, frame_type);
    stream_id = cursor->first->stream_id;
  }
  menu = new ViewMenu(x, y + TITLE_BAR, w - SLIDER, h - TITLE_BAR - SLIDER, this);

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
  c.scale = scale;
  c.amplitude = amplitude;
  c.color_map = color_map;
  c.grid = grid;
  return c;
}

void DataPanel::changed() {
  apply(this);
  view->redraw();
  menu->show_choices();
}

void DataPanel::show_readout() {
  std::string line;
  Probe probe;
  if (Fl::event_inside(view) && view->probe(Fl::event_x(), Fl::event_y(), probe))
    line = measuring ? measure_text(ViewKind(kind), measure_from, probe) : readout_text(ViewKind(kind), probe);
  if (line == readout_line) return;
  readout_line = line;
  readout_box->copy_label(line.empty() ? nullptr : line.c_str());
}

bool DataPanel::copy_readout() const {
  if (readout_line.empty()) return false;
  // The primary selection, for a middle click elsewhere, and the clipboard.
  Fl::copy(readout_line.c_str(), int(readout_line.size()), 0);
  Fl::copy(readout_line.c_str(), int(readout_line.size()), 1);
  return true;
}

void DataPanel::choose_scale(VerticalScale chosen) {
  scale = chosen;
  changed();
}

void DataPanel::choose_amplitude(AmplitudeScale chosen) {
  amplitude = chosen;
  changed();
}

void DataPanel::choose_color_map(ColorMap chosen) {
  color_map = chosen;
  changed();
}

void DataPanel::show_grid(bool shown) {
  grid = shown;
  changed();
}

void DataPanel::show_stream(int32_t id) {
  SdifFrame* start = frame_type ? first_frame_of(document, frame_type, id) : nullptr;
  if (!start || id == stream_id) return;
  auto stream = std::make_unique<SdifStreamCursor>(nullptr, frame_type);
  stream->link_stream(start);
  view->follow(stream.get());
  chosen_stream = std::move(stream);
  stream_id = id;
  shortest_time_share = 0.0;
  changed();
}

Range DataPanel::time_range() const { return {time_slider->range_position, time_slider->range_size}; }

Range DataPanel::vertical_range() const { return {view->vertical_position, view->vertical_size}; }

void DataPanel::move_time(Range range) { time_slider->move_range(range.size, range.position); }

void DataPanel::move_vertical(Range range) {
  // A pan keeps the slider's share as it is, rather than the cube root of its cube.
  double share = range.size == view->vertical_size ? vertical_slider->range_size
                 : cube_toggle->value()            ? std::cbrt(range.size)
                                                   : range.size;
  vertical_slider->move_range(share, range.position);
}

double DataPanel::shortest_time() {
  if (shortest_time_share == 0.0) shortest_time_share = view->cursor ? shortest_time_range(*view->cursor) : 1.0;
  return shortest_time_share;
}

double DataPanel::pointer_across() const { return double(Fl::event_x() - view->x()) / view->w(); }

double DataPanel::pointer_up() const { return double(view->y() + view->h() - Fl::event_y()) / view->h(); }

void DataPanel::show_whole() {
  move_time({0.0, 1.0});
  vertical_slider->move_range(1.0, 0.0);
}

// A notch up zooms in; Shift, or a sideways wheel, pans the time range; Alt zooms vertically.
bool DataPanel::wheel() {
  const int state = Fl::event_state();
  const int dx = Fl::event_dx(), dy = Fl::event_dy();
  if (dx != 0) move_time(pan(time_range(), dx * PAN_STEP));
  if (dy == 0) return dx != 0;
  const double factor = std::pow(ZOOM_STEP, -dy);
  if (state & FL_SHIFT)
    move_time(pan(time_range(), dy * PAN_STEP));
  else if (state & FL_ALT)
    move_vertical(zoom_around(vertical_range(), pointer_up(), factor, SHORTEST_VERTICAL_RANGE));
  else
    move_time(zoom_around(time_range(), pointer_across(), factor, shortest_time()));
  return true;
}

bool DataPanel::take_key() {
  const int state = Fl::event_state();
  const int key = Fl::event_key();
  switch (key) {
    case FL_Left: move_time(pan(time_range(), -PAN_STEP)); return true;
    case FL_Right: move_time(pan(time_range(), PAN_STEP)); return true;
    case FL_Down: move_vertical(pan(vertical_range(), -PAN_STEP)); return true;
    case FL_Up: move_vertical(pan(vertical_range(), PAN_STEP)); return true;
    case FL_Home: show_whole(); return true;
    // The key that types + is = without Shift on many keyboards, so both zoom in.
    case '=': case '+': case FL_KP + '+': zoom_middle(ZOOM_STEP, state & FL_SHIFT); return true;
    case '-': case FL_KP + '-': zoom_middle(1.0 / ZOOM_STEP, state & FL_SHIFT); return true;
    default: break;
  }
  if (key == 'c' && (state & FL_CTRL) && !(state & (FL_ALT | FL_META))) return copy_readout();
  // The letters alone: with Ctrl, Alt or Meta they belong to the window or the desktop.
  if (state & (FL_CTRL | FL_ALT | FL_META)) return false;
  switch (key) {
    case 'c':
      cube_toggle->value(!cube_toggle->value());
      cube_toggle->do_callback();
      return true;
    case 'l': choose_scale(next_of(VERTICAL_SCALES, scale)); return true;
    case 'd': choose_amplitude(next_of(AMPLITUDE_SCALES, amplitude)); return true;
    case 'k': choose_color_map(next_of(COLOR_MAPS, color_map)); return true;
    case 'g': show_grid(!grid); return true;
    default: return false;
  }
}

void DataPanel::zoom_middle(double factor, bool vertical) {
  if (vertical)
    move_vertical(zoom_around(vertical_range(), 0.5, factor, SHORTEST_VERTICAL_RANGE));
  else
    move_time(zoom_around(time_range(), 0.5, factor, shortest_time()));
}

int DataPanel::handle(int event) {
  switch (event) {
    case FL_MOUSEWHEEL:
      if (Fl::event_inside(view) && wheel()) return 1;
      break;
    case FL_ENTER:
    case FL_MOVE:
      Fl_Group::handle(event);
      show_readout();
      return 1;
    case FL_LEAVE:
      Fl_Group::handle(event);
      show_readout();
      return 1;
    case FL_PUSH:
      // The other buttons belong to the panel's widgets and its menu.
      if (!Fl::event_inside(view) || Fl::event_button() != FL_LEFT_MOUSE) break;
      if (Fl::event_state() & FL_SHIFT) {
        measuring = view->probe(Fl::event_x(), Fl::event_y(), measure_from);
        measure_x = Fl::event_x();
        measure_y = Fl::event_y();
        if (measuring) view->show_line(measure_x, measure_y, measure_x, measure_y);
        show_readout();
        return 1;
      }
      if (Fl::event_clicks()) show_whole();
      grabbing = true;
      grab_x = Fl::event_x();
      grab_y = Fl::event_y();
      return 1;
    case FL_DRAG:
      if (measuring) {
        view->show_line(measure_x, measure_y, Fl::event_x(), Fl::event_y());
        show_readout();
        return 1;
      }
      if (!grabbing) break;
      move_time(pan(time_range(), -double(Fl::event_x() - grab_x) / view->w()));
      move_vertical(pan(vertical_range(), double(Fl::event_y() - grab_y) / view->h()));
      grab_x = Fl::event_x();
      grab_y = Fl::event_y();
      return 1;
    case FL_RELEASE:
      if (measuring) {
        measuring = false;
        view->hide_line();
        show_readout();
        return 1;
      }
      if (!grabbing) break;
      grabbing = false;
      return 1;
    case FL_KEYBOARD:
      if (Fl::event_inside(this) && take_key()) return 1;
      break;
  }
  return Fl_Group::handle(event);
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
