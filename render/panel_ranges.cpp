// Limits asked-for ranges to a stream's and divides them by its span, in double precision, rounding
// to the sliders' 32-bit fractions only at the end, as the sliders hold them.
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

// Sets the slider fractions that show `asked` out of the span from `start` to `end`.
void set_fractions(UnitRange asked, double start, double end, const char* what, const char* unit,
                   const PanelSpec& panel, float& position, float& size, PanelControls& result) {
  std::string name = std::string(panel.title) + ": " + what + " ";
  double span = end - start;
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
  position = float((shown.low - start) / span);
  size = float((shown.high - shown.low) / span);
}

}  // namespace

PanelControls controls_for(const PanelSpec& panel, const SdifStreamCursor& cursor, const RangeRequest& request) {
  PanelControls result;
  ViewControls& c = result.controls;
  if (request.time && cursor.first)
    set_fractions(*request.time, cursor.first->time, cursor.last->time, "time", " s", panel, c.time_position,
                  c.time_size, result);
  if (request.vertical) {
    std::string unit = *panel.unit ? std::string(" ") + panel.unit : "";
    set_fractions(*request.vertical, 0.0, full_vertical_range(panel, cursor), "vertical range", unit.c_str(), panel,
                  c.vertical_position, c.vertical_share, result);
  }
  c.cube = request.cube;
  c.contrast = request.contrast;
  return result;
}
