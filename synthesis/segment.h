// One run of samples inside a frame pair, as the synthesizer hands it to the partial tracks or the
// pitch tone to render.
#pragma once

struct Segment {
  int samples;  // at most MAX_SEGMENT
  // The weight of the pair's second frame at the first sample and just after the last (past 1 at the
  // end of a pair); both 0 while the first frame is held after the stream's end.
  double from, to;
  // The first sample's time and the time between samples, in the frames' seconds.
  double time, period;
  // The times of the pair's frames.
  double first_time, second_time;
};
