// Time and vertical ranges asked for in seconds and in each view's own units, turned into the
// fractions of a panel's sliders. Used by sdif-render for every panel it paints.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "render/panel_picture.h"

// A range from `low` to `high`, high above low.
struct UnitRange {
  double low, high;
};

struct RangeRequest {
  std::optional<UnitRange> time;      // seconds, as the frames' times
  std::optional<UnitRange> vertical;  // 0-1000 for pitch, hertz for sinusoids, bins for residual
  bool cube = false;
  std::optional<float> contrast;
};

struct PanelControls {
  ViewControls controls;
  // Ranges that reached outside the stream's and were limited to it, or that the stream cannot show.
  std::vector<std::string> warnings;
  // Set when a range lies wholly outside the stream's: there is nothing to paint.
  std::string error;
};

PanelControls controls_for(const PanelSpec& panel, const SdifStreamCursor& cursor, const RangeRequest& request);
