// The widget base of the three time-frequency views: the stream shown, the four scroll-and-zoom
// fractions the data panel sets, the contrast curve, and the column-time and frame-pair rules they share.
#pragma once

#include <FL/Fl_Widget.H>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "sdif/sdif_document.h"
#include "views/amplitude_colors.h"
#include "views/contrast_curve.h"
#include "views/frame_index.h"
#include "views/vertical_axis.h"
#include "views/view_probe.h"

class PixelCanvas;

// The pitch view reads and draws the first SLOTS rows of each frame. The views' sample_column gives a
// column's values in SLOTS slots: pitch rows, and track indices and residual bins from 0 on; the
// drawings of the track and residual views are not bound by it.
constexpr int SLOTS = 256;
// One value per slot, as a view's sample_column fills them.
using SlotValues = std::array<double, SLOTS>;

// Maps a height in pixels above a view's bottom edge to the window row y() + h() - trunc(up). Rows
// beyond the view are limited to the row just above or below it (NaN to the one below): lines keep
// exactly their visible part, and no coordinate overflows. A plain value, so that a drawing loop
// keeps it in registers.
struct ViewRows {
  int above, below;
  double beyond;  // h() + 1: heights from here on land above the view

  int row_above_bottom(double up) const {
    if (!(up > -1.0)) return below;
    if (up >= beyond) return above;
    return below - static_cast<int>(up);
  }
};

class SdifView : public Fl_Widget {
 public:
  // The stream shown; the document outlives the view and does not change while it exists.
  SdifStreamCursor* cursor;
  float time_position;
  float time_size;
  float vertical_position;
  float vertical_size;
  // Null in the base class; each concrete view creates its own and keeps it for its whole life.
  std::unique_ptr<ContrastCurve> contrast_curve;
  // The panel's choices, set through its view controls: the defaults draw as the views always have.
  VerticalScale scale = VerticalScale::Linear;
  AmplitudeScale amplitude_scale = AmplitudeScale::Curve;
  ColorMap color_map = ColorMap::Ramp;
  bool grid = false;
  // Colours from the contrast curve or the decibels, through the colour map; rebuilt by the controls.
  AmplitudeColors colors;

  SdifView(int x, int y, int w, int h, SdifStreamCursor* cursor);
  void draw() override;
  // The picture painted into a pixel canvas, for a caller that does not know the concrete view; the
  // base class paints nothing.
  virtual void paint_pixels(PixelCanvas&) {}
  // Shows another stream from now on; what the view kept of the old one's frames goes.
  virtual void follow(SdifStreamCursor* stream);
  // What the view shows at (x, y), in window coordinates inside it; false where it shows nothing (an
  // empty stream; the base class). Costs a column's sampling, not a redraw.
  virtual bool probe(int, int, Probe&) { return false; }

  // A thin line from (x0, y0) to (x1, y1) over the view's last picture, for measuring: showing and
  // moving it, and taking it away, draw the picture kept from the screen and the line, and never
  // paint the stream again. Needs the view shown in a window.
  void show_line(int x0, int y0, int x1, int y1);
  void hide_line();
  // For draw(): draws the kept picture and the line where only the line changed, and says so; after
  // a painting, keeps its picture while a line is shown and draws the line over it.
  bool draw_line_only();
  void keep_under_line(const PixelCanvas& canvas);

  // Sends the cursor back to the stream's first frame and gives the time t of the leftmost column and
  // the step dt to the next; false when there is no column or no frame to draw.
  bool start_columns(double& t, double& dt);
  // Moves the cursor forward to the frame pair around t and returns its current frame (null for an
  // empty stream), with the weight w of the next frame in the stream (0 when there is none).
  SdifFrame* frame_pair(double t, double& w);
  // The view's rows, for mapping heights to window rows.
  ViewRows rows() const { return {y() - 1, y() + h(), h() + 1.0}; }

 protected:
  // Gives the view its contrast curve, starting at `contrast`, and its colours from it.
  void start_contrast(float contrast);

 private:
  void draw_line() const;

  FrameIndex index;
  // The picture under the line, RGB rows from the top, while a line is shown and until it is gone.
  std::vector<unsigned char> kept;
  bool line_shown = false;
  int line[4] = {};
  // Where the index last left the cursor.
  size_t position = 0;
};

// True for a value that is neither zero nor NaN: an amplitude that is a point to draw, or a value or
// frequency that can be interpolated. One comparison, since NaN compares false.
inline bool present(double value) { return std::fabs(value) > 0.0; }
