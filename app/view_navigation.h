// What the wheel, the keys and a grab of the picture do to a panel's ranges, as plain arithmetic on
// shares of the whole. The data panel turns events into these moves and sets its sliders by them.
#pragma once

struct SdifStreamCursor;

// A stretch of a whole: where it begins and how much it spans, both as shares of the whole.
struct Range {
  double position, size;
};

// One notch of the wheel, or one press of + or -, zooms by this factor.
constexpr double ZOOM_STEP = 1.25;
// The arrow keys and a notch of a panning wheel move a range by this share of its span.
constexpr double PAN_STEP = 0.1;
// The deepest vertical zoom, as a share of the full range. The fractions are floats, whose steps near 1
// are 6e-8: at this size a view still moves in steps of well under a percent of its height.
constexpr double SHORTEST_VERTICAL_RANGE = 1e-5;

// `range` zoomed by `factor` (above 1 zooms in) so that the value at `anchor`, a share of the range
// from its start, stays where it is; its size kept between `shortest` and 1, and the range within the
// whole.
Range zoom_around(Range range, double anchor, double factor, double shortest);

// `range` moved by `shift` times its span (positive toward the end of the whole), within the whole.
Range pan(Range range, double shift);

// The shortest time range a view of the stream zooms to: about two frames, or a millionth of the
// stream's duration, whichever is longer.
double shortest_time_range(const SdifStreamCursor& cursor);
