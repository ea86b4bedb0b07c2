// Limits asked-for ranges to a stream's and divides them by its span along the scale's axis, in double
// precision, rounding to the sliders' 32-bit fractions only at the end, as the sliders hold them.
#include "render/panel_ranges.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sdif/sdif_document.h"

namespace {

std::string range_text(double low, double high, const char* unit) {
  char text[96];
  std::snprintf(text, sizeof text, "%g:%g%s", low, high, unit);
  return text;
}

// Sets the slider fractions that show `asked` out of the span from `start` to `end`, both in the
// panel's units, measured along the axis that `log` makes logarithmic.
void set_fractions(UnitRange asked, double start, double end, bool log, const char* what, const char* unit,
                   const PanelSpec& panel, float& position, float& size, PanelControls& result) {
  std::string name = std::string(panel.title) + ": " + what + " ";
  auto along = [&](double value) { return log ? std::log(value) : value; };
  double span = along(end) - along(start);
  if (!(span > 0.0) || !std::isfinite(span)) {
    result.warnings.push_back(name + range_text(asked.low, asked.high, unit) + " ignored: the stream spans no range");
    return;
  }
  UnitRange shown{std::clamp(asked.low, start, end), std::clamp(asked.high, start, end)};
  if (!(shown.high > shown.low)) {
    result.error =
        name + range_text(asked.low, asked.high, unit) + " lies outside the stream's " + range_text(start, end, unit);
    return;
  }
  if (shown.low != asked.low || shown.high != asked.high)
    result.warnings.push_back(name + range_text(asked.low, asked.high, unit) + " limited to the stream's " +
                              range_text(start, end, unit));
  position = float((along(shown.low) - along(start)) / span);
  size = float((along(shown.high) - along(shown.low)) / span);
}

}  // namespace

PanelControls controls_for(const PanelSpec& panel, const SdifStreamCursor& cursor, const ViewRequest& request) {
  PanelControls result;
  ViewControls& c = result.controls;
  if (request.time && cursor.first)
    set_fractions(*request.time, cursor.first->time, cursor.last->time, false, "time", " s", panel,
                  c.time_position, c.time_size, result);
  if (request.vertical) {
    std::string unit = *panel.unit ? std::string(" ") + panel.unit : "";
    // A logarithmic axis starts at the lowest frequency, or at bin 1 of a spectrum, whose bin 0 lies
    // under it.
    bool log = logarithmic(request.scale);
    double start = !log ? 0.0 : panel.full_range > 0.0 ? LOWEST_LOG_FREQUENCY : 1.0;
    set_fractions(*request.vertical, start, full_vertical_range(panel, cursor), log, "vertical range", unit.c_str(),
                  panel, c.vertical_position, c.vertical_share, result);
  }
  c.cube = request.cube;
  c.contrast = request.contrast;
  c.scale = request.scale;
  c.amplitude = request.amplitude;
  c.color_map = request.color_map;
  c.grid = request.grid;
  return result;
}
