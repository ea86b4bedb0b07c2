// The Pitch panel's view: one trace per row of the 1FQ0 frames, its height from the row's value on
// a 0-1000 scale and its brightness from the row's weight. Created by the data panel.
#pragma once

#include "views/panel_table.h"
#include "views/sdif_view.h"
#include "views/trace_painting.h"

class PitchView : public SdifView {
 public:
  using Points = SlotPoints;

  PitchView(int x, int y, int w, int h, SdifStreamCursor* cursor);
  void draw() override;
  void paint_pixels(PixelCanvas& canvas) override;
  bool probe(int x, int y, Probe& out) override {
    return probe_traces(*this, x, y, panel_spec(VIEW_PITCH).full_range, out);
  }

  // Values and amplitudes (interpolated weights) of rows 0..SLOTS-1 at time t; t must not decrease between
  // calls of one drawing, since the cursor only moves forward.
  void sample_column(double t, SlotValues& values, SlotValues& amplitudes);
  // The same rows as traces for the drawing: draw(row, value, amplitude) for each, rows ascending.
  template <class Draw>
  void sample_traces(double t, Draw draw) {
    SlotValues values, amplitudes;
    sample_column(t, values, amplitudes);
    for (int k = 0; k < SLOTS; ++k) draw(k, values[k], amplitudes[k]);
  }
  // The picture, through the pixel canvas or straight through the toolkit.
  template <class Canvas>
  void paint(Canvas& canvas) {
    paint_traces(*this, canvas, panel_spec(VIEW_PITCH).full_range);
  }
};
