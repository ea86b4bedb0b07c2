// Drawing straight through the toolkit's calls, one X request per line. The views' pictures are defined
// by these calls; the tests and the benchmarks draw through this to hold the pixel canvas to them. Only
// they link it: the viewer itself always draws through the pixel canvas.
#pragma once

#include <FL/fl_draw.H>

struct ToolkitCanvas {
  void color(Fl_Color c) { fl_color(c); }
  void rectf(int x, int y, int w, int h) { fl_rectf(x, y, w, h); }
  void push_clip(int x, int y, int w, int h) { fl_push_clip(x, y, w, h); }
  void pop_clip() { fl_pop_clip(); }
  void yxline(int x, int y, int y1) { fl_yxline(x, y, y1); }
};
