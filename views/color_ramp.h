// The 64-colour intensity ramp, black through blue, green and yellow to orange, that every view draws
// with. It lives in the toolkit's colour map at indices 64 to 127, with one more anchor at 128.
#pragma once

// Colour index of ramp step 0.
constexpr int RAMP_BASE = 64;

// Writes the ramp into the colour map the first time it is called in the process; later calls return
// at once, so the map keeps what the first call wrote.
void init_color_ramp();
