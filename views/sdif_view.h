// The widget base of the three time-frequency views: the stream shown, the four scroll-and-zoom
// fractions the data panel sets, the contrast curve, and the column-time and frame-pair rules they share.
#pragma once

#include <FL/Fl_Widget.H>

#include <memory>

#include "sdif/sdif_document.h"
#include "views/contrast_curve.h"
#include "views/frame_index.h"

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

  SdifView(int x, int y, int w, int h, SdifStreamCursor* cursor);
  void draw() override;

  // Sends the cursor back to the stream's first frame and gives the time t of the leftmost column and
  // the step dt to the next; false when there is no column or no frame to draw.
  bool start_columns(double& t, double& dt);
  // Moves the cursor forward to the frame pair around t and returns its current frame (null for an
  // empty stream), with the weight w of the next frame in the stream (0 when there is none).
  SdifFrame* frame_pair(double t, double& w);
  // Row of the window for an exact y coordinate, limited to the rows just outside the view (a NaN to
  // the one below it). Lines keep exactly their visible part, and no coordinate overflows.
  int limit_y(double y) const;

 private:
  FrameIndex index;
};

// A view's marker in its previous-y array for a trace without a point in the previous column.
constexpr int no_point = 0x10000000;
