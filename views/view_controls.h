// What a panel's controls hold, and the one function that applies it to the panel's view. The data
// panel reads its sliders, toggle and contrast slider into these controls and sdif-render reads its
// command line into them, so that both show a stream through the same rules.
#pragma once

#include <optional>

#include "views/amplitude_colors.h"
#include "views/vertical_axis.h"

class SdifView;

struct ViewControls {
  // The sliders' fractions; the vertical one is the knob's share, which the cube toggle cubes.
  float time_position = 0.0f;
  float time_size = 1.0f;
  float vertical_position = 0.0f;
  float vertical_share = 1.0f;
  bool cube = false;
  // None: the view keeps the contrast it has.
  std::optional<float> contrast;
  VerticalScale scale = VerticalScale::Linear;
  AmplitudeScale amplitude = AmplitudeScale::Curve;
  ColorMap color_map = ColorMap::Ramp;
  bool grid = false;
};

// Sets the view's fractions and contrast curve from the controls. The caller redraws the view.
void apply_controls(const ViewControls& controls, SdifView& view);
