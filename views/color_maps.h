// The colour maps a view paints with, each in the 64 steps that an amplitude mapping gives: the ramp,
// which lives in the toolkit's colour map, and the perceptual maps viridis, magma and inferno and a
// grey ramp, which are plain RGB colours. Chosen per panel; the ramp is the default.
#pragma once

#include <FL/Enumerations.H>

enum class ColorMap { Ramp, Viridis, Magma, Inferno, Gray };
constexpr ColorMap COLOR_MAPS[] = {ColorMap::Ramp, ColorMap::Viridis, ColorMap::Magma, ColorMap::Inferno,
                                   ColorMap::Gray};

// Steps from the weakest to the strongest value.
constexpr int COLOR_STEPS = 64;

// The colour of `step`, 0 to COLOR_STEPS - 1.
Fl_Color step_color(ColorMap map, int step);

// Its name in menus and on command lines: "ramp", "viridis", "magma", "inferno" or "gray".
const char* color_map_name(ColorMap map);
