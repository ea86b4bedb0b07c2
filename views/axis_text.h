// Numbers as the views write them for people: times, frequencies and levels with as many digits as
// the picture resolves. Used by the grid's labels and the viewer's readout.
#pragma once

#include <string>

// Decimal places that tell apart values `resolution` apart (at least `least`, at most 9).
int decimals_for(double resolution, int least = 0);

// "1.25 s", "440.0 Hz", "-12.3 dB": the value with `decimals` places and its unit.
std::string seconds_text(double seconds, int decimals);
std::string hertz_text(double hertz, int decimals);
// An amplitude in decibels (0 dB at 1) with one decimal; "-inf dB" for 0 and "no level" for NaN.
std::string decibels_text(double amplitude);
