// The Sinusoids panel's view: one trace per track index of the 1TRC frames, its height from the
// partial's frequency on a 0-22050 Hz scale and its brightness from its amplitude. Created by the data panel.
#pragma once

#include "views/panel_table.h"
#include "views/sdif_view.h"
#include "views/trace_painting.h"
#include "views/track_slots.h"

class TrackView : public SdifView {
 public:
  TrackView(int x, int y, int w, int h, SdifStreamCursor* cursor);
  void draw() override;
  void paint_pixels(PixelCanvas& canvas) override;

  // Frequencies and amplitudes of track indices 0..SLOTS-1 at time t; t must not decrease between calls of
  // one drawing, since the cursor only moves forward. Each frame's partial for an index is its last row
  // with that index, in either frame of the pair.
  void sample_column(double t, SlotValues& frequencies, SlotValues& amplitudes);
  // The picture, through the pixel canvas or straight through the toolkit.
  template <class Canvas>
  void paint(Canvas& canvas) {
    paint_traces(*this, canvas, panel_spec(VIEW_TRACKS).full_range);
  }

 private:
  // The document does not change while the view exists, so slots read once stay right for every drawing.
  TrackSlotCache slot_cache;
};
