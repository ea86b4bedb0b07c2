// Samples and draws the sinusoidal-track stream. Used by the Sinusoids data panel.
#include "views/track_view.h"

#include "views/pixel_canvas.h"

TrackView::TrackView(int x, int y, int w, int h, SdifStreamCursor* cursor) : SdifView(x, y, w, h, cursor) {
  contrast_curve = std::make_unique<ContrastCurve>(panel_spec(VIEW_TRACKS).contrast);
}

void TrackView::draw() { draw_through_canvas(*this); }

void TrackView::paint_pixels(PixelCanvas& canvas) { paint(canvas); }

void TrackView::sample_column(double t, SlotValues& frequencies, SlotValues& amplitudes) {
  double w;
  SdifFrame* current = frame_pair(t, w);
  frequencies.fill(0.0);
  amplitudes.fill(0.0);
  if (!current) return;
  // The current frame's amplitude is read in double and the next frame's through a float, on purpose:
  // the traces' brightness, and so the pictures, depend on this mix of precisions.
  const TrackSlots& from = slot_cache.of(*current);
  for (int i = 0; i < from.count; ++i) {
    int k = from.filled[i];
    frequencies[k] = from.frequencies[k];
    amplitudes[k] = (1 - w) * from.amplitudes[k];
  }
  if (!current->next_in_stream) return;
  const TrackSlots& to = slot_cache.of(*current->next_in_stream);
  for (int i = 0; i < to.count; ++i) {
    int k = to.filled[i];
    float frequency = to.frequencies[k];
    bool both = present(frequencies[k]) && present(frequency);
    // A slot whose frequency is zero in either frame takes the next frame's frequency, even a zero one.
    frequencies[k] = both ? (1 - w) * frequencies[k] + w * frequency : frequency;
    amplitudes[k] = amplitudes[k] + w * static_cast<float>(to.amplitudes[k]);
  }
}
