// Writes the intensity ramp into the toolkit's colour map once per process. Called by the first
// contrast curve that is built.
#include "views/color_ramp.h"

#include <FL/Fl.H>

namespace {

bool ramp_written = false;

struct Anchor {
  int step;
  unsigned char red, green, blue;
};

const Anchor ANCHORS[] = {
    {0, 0, 0, 0}, {12, 15, 17, 16}, {25, 80, 100, 153}, {37, 90, 180, 100}, {50, 224, 224, 44}, {64, 255, 155, 80},
};

// Moves from `start` toward `end` by the share k / n of their signed difference, truncated toward zero,
// so every channel rounds toward the starting anchor.
unsigned char between(unsigned char start, unsigned char end, int k, int n) {
  return static_cast<unsigned char>(start + static_cast<int>((end - start) * (static_cast<double>(k) / n)));
}

}  // namespace

void init_color_ramp() {
  if (ramp_written) return;
  ramp_written = true;
  for (const Anchor& anchor : ANCHORS) Fl::set_color(RAMP_BASE + anchor.step, anchor.red, anchor.green, anchor.blue);
  for (size_t segment = 0; segment + 1 < sizeof ANCHORS / sizeof ANCHORS[0]; ++segment) {
    int from = RAMP_BASE + ANCHORS[segment].step;
    int to = RAMP_BASE + ANCHORS[segment + 1].step;
    int n = to - from;
    for (int k = 1; k < n; ++k) {
      unsigned char r0, g0, b0, r1, g1, b1;
      Fl::get_color(from, r0, g0, b0);
      Fl::get_color(to, r1, g1, b1);
      Fl::set_color(from + k, between(r0, r1, k, n), between(g0, g1, k, n), between(b0, b1, k, n));
    }
  }
}
