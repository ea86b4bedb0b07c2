// What the command line asks of every panel's view (time and vertical ranges in seconds and in each
// view's own units, the cube, the contrast, the scale, the amplitude mapping and the colour map),
// turned into the panel's view controls. Used by sdif-render for every panel it paints.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "render/panel_picture.h"

// A range from `low` to `high`, high above low.
struct UnitRange {
  double low, high;
};

struct ViewRequest {
  std::optional<UnitRange> time;      // seconds, as the frames' times
  std::optional<UnitRange> vertical;  // 0-1000 for pitch, hertz for sinusoids, bins for residual
  bool cube = false;
  std::optional<float> contrast;
  VerticalScale scale = VerticalScale::Linear;
  AmplitudeScale amplitude = AmplitudeScale::Curve;
  ColorMap color_map = ColorMap::Ramp;
  bool grid = false;
};

struct PanelControls {
  ViewControls controls;
  // Ranges that reached outside the stream's and were limited to it, or that the stream cannot show.
  std::vector<std::string> warnings;
  // Set when a range lies wholly outside the stream's: there is nothing to paint.
  std::string error;
};

PanelControls controls_for(const PanelSpec& panel, const SdifStreamCursor& cursor, const ViewRequest& request);
