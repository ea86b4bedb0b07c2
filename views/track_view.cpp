// Samples and draws the sinusoidal-track stream. Used by the Sinusoids data panel.
#include "views/track_view.h"

#include "views/pixel_canvas.h"

TrackView::TrackView(int x, int y, int w, int h, SdifStreamCursor* cursor) : SdifView(x, y, w, h, cursor) {
  start_contrast(panel_spec(VIEW_TRACKS).contrast);
}

void TrackView::draw() { draw_through_canvas(*this); }

void TrackView::paint_pixels(PixelCanvas& canvas) { paint(canvas); }

void TrackView::sample_column(double t, SlotValues& frequencies, SlotValues& amplitudes) {
  frequencies.fill(0.0);
  amplitudes.fill(0.0);
  sample_traces(t, [&](int32_t index, double frequency, double amplitude) {
    if (index < 0 || index >= SLOTS) return;
    frequencies[size_t(index)] = frequency;
    amplitudes[size_t(index)] = amplitude;
  });
}

void TrackView::follow(SdifStreamCursor* stream) {
  SdifView::follow(stream);
  partials.clear();
}
