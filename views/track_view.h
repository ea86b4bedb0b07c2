// The Sinusoids panel's view: one trace per track index of the 1TRC frames, its height from the
// partial's frequency on a 0-22050 Hz scale and its brightness from its amplitude. Created by the data panel.
#pragma once

#include "views/frame_maps.h"
#include "views/panel_table.h"
#include "views/sdif_view.h"
#include "views/trace_painting.h"
#include "views/track_slots.h"

class TrackView : public SdifView {
 public:
  using Points = KeyedPoints;

  TrackView(int x, int y, int w, int h, SdifStreamCursor* cursor);
  void draw() override;
  void paint_pixels(PixelCanvas& canvas) override;
  bool probe(int x, int y, Probe& out) override {
    return probe_traces(*this, x, y, panel_spec(VIEW_TRACKS).full_range, out);
  }
  void follow(SdifStreamCursor* stream) override;

  // The partials at time t, for the drawing: draw(index, frequency, amplitude) for each track index
  // that either frame of the pair holds, indices ascending. t must not decrease between calls of one
  // drawing, since the cursor only moves forward. Each frame's partial for an index is its last row
  // with that index, in either frame of the pair.
  template <class Draw>
  void sample_traces(double t, Draw draw);
  // The same for track indices 0..SLOTS-1 as arrays, the others left out.
  void sample_column(double t, SlotValues& frequencies, SlotValues& amplitudes);
  // The picture, through the pixel canvas or straight through the toolkit.
  template <class Canvas>
  void paint(Canvas& canvas) {
    partials.begin_redraw();
    paint_traces(*this, canvas, panel_spec(VIEW_TRACKS).full_range);
  }

 private:
  // The document does not change while the view exists, so partials read once stay right for every drawing.
  FrameMaps<Partial> partials;
  PartialReader reader;
};

template <class Draw>
void TrackView::sample_traces(double t, Draw draw) {
  double w;
  SdifFrame* current = frame_pair(t, w);
  if (!current) return;
  auto [from, to] = partials.pair(*current, current->next_in_stream,
                                  [this](const SdifFrame& frame, std::vector<Partial>& out) { reader.read(frame, out); });
  // The current frame's amplitude is read in double and the next frame's through a float, on purpose:
  // the traces' brightness, and so the pictures, depend on this mix of precisions. Both lists ascend.
  const Partial *a = from.entries, *a_end = a + from.count, *b = to.entries, *b_end = b + to.count;
  while (a != a_end || b != b_end) {
    if (b == b_end || (a != a_end && a->index < b->index)) {
      draw(a->index, double(a->frequency), (1 - w) * a->amplitude);
      ++a;
    } else if (a == a_end || b->index < a->index) {
      draw(b->index, double(b->frequency), w * static_cast<float>(b->amplitude));
      ++b;
    } else {
      // A partial whose frequency is zero in either frame takes the next frame's frequency, even a zero one.
      bool both = present(a->frequency) && present(b->frequency);
      double frequency = both ? (1 - w) * a->frequency + w * b->frequency : b->frequency;
      draw(a->index, frequency, (1 - w) * a->amplitude + w * static_cast<float>(b->amplitude));
      ++a;
      ++b;
    }
  }
}
