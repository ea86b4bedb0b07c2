// The line a panel's title bar shows while the pointer is over its view: what the view shows there,
// or, while measuring, the difference between two points. Written with as many digits as the zoom
// resolves. Used by the data panel, whose Ctrl+C copies the line as shown.
#pragma once

#include <string>

#include "views/panel_table.h"
#include "views/view_probe.h"

// "1.25 s  220.0 Hz A3 +0¢  confidence 0.93" for the pitch view, "1.25 s  #12  440.0 Hz A4 +0¢
// -12.3 dB" for the track view, "1.25 s  bin 42  904.4 Hz  -35.2 dB" for the residual view; where no
// trace is near, "1.25 s  at pointer 450.3 Hz".
std::string readout_text(ViewKind kind, const Probe& probe);

// "Δt 0.250 s  +702¢  Δf +110.0 Hz", or for the residual view "Δt 0.250 s  Δ 12 bins".
std::string measure_text(ViewKind kind, const Probe& from, const Probe& to);
