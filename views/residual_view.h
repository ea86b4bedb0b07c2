// The "Residual" panel's view: a spectrogram of the "1STF" frames, one band of pixels per frequency
// bin, its brightness from the magnitude of the bin's complex value. Created by the data panel.
#pragma once

#include "views/sdif_view.h"

class ResidualView : public SdifView {
 public:
  ResidualView(int x, int y, int w, int h, SdifStreamCursor* cursor);
  void draw() override;

  // Magnitudes of bins 0..255 at time t; t must not decrease between calls of one drawing, since the
  // cursor only moves forward.
  void sample_column(double t, double magnitudes[256]);
  // The picture, through the pixel canvas or straight through the toolkit.
  template <class Canvas>
  void paint(Canvas& canvas);
};
