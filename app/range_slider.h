// The scroll-and-zoom slider of the data panels: one knob whose length is the shown share of a range
// and whose place is where that share begins. Used twice by every DataPanel, for time and vertically.
#pragma once

#include <FL/Fl_Valuator.H>
#include <FL/Fl_Widget.H>

#include <cstdint>

// What the pointer moves since the last press. Bit 1 moves the knob's first end, bit 2 its last.
enum DragMode { DRAG_NONE = 0, DRAG_FIRST_EDGE = 1, DRAG_LAST_EDGE = 2, DRAG_WHOLE = 3 };

class RangeSlider : public Fl_Widget {
 public:
  // Pixels at each end of the knob, inside its outline, that grip that end for a zoom.
  static constexpr int GRIP = 4;
  // The shortest knob that dragging one end leaves, and the shortest knob drawn: a range shorter than
  // this many pixels of the track (a deep zoom from the wheel or the keys, or a slider made smaller)
  // gets a knob this long, which travels the track as the range travels the whole.
  static constexpr int MIN_KNOB = 18;

  // The model, read and written by the owner, who calls compute_knob() and redraw() after writing.
  float range_size;
  float range_position;  // from the left end, or from the bottom end of a vertical slider
  // Offsets of the knob's first and last pixel (inclusive) from the left or top edge; the track's
  // pixels are the n offsets inside the frame of the box type (1 to n for the thin frame it is made with).
  int32_t knob_first;
  int32_t knob_last;

  // Shared by all sliders: the toolkit sends drags only to the widget that took the press.
  static int32_t drag_anchor;  // pointer coordinate along the axis at the previous press or drag
  static int32_t drag_mode;

  // Vertical until the creator sets type(FL_HORIZONTAL).
  RangeSlider(int x, int y, int w, int h);

  void compute_knob();
  // Moves the range as a drag does, for the wheel, the keys and a grab of the picture: the range is
  // limited to the whole, and when it changed the knob follows, the callback runs and the slider is
  // redrawn. True when it changed.
  bool move_range(double size, double position);

  void draw() override;
  int handle(int event) override;
  void resize(int x, int y, int w, int h) override;

 private:
  bool horizontal() const { return type() == FL_HORIZONTAL; }
  // The track along the slider's axis: the offset of its first pixel and its length, inside the frame.
  int track_start() const;
  int track_length() const;
  // Whether the range is shorter than the shortest knob, which is then drawn in its place.
  bool shorter_than_knob() const;
  void press();
  void drag();
  void drag_short_range(int d);
};
