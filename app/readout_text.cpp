// Readout lines from probes.
#include "app/readout_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "views/axis_text.h"
#include "views/note_names.h"

namespace {

// Frequencies keep at least a tenth of a hertz.
constexpr int LEAST_HERTZ_DECIMALS = 1;

std::string time_of(const Probe& probe) { return seconds_text(probe.time, decimals_for(probe.time_step)); }

std::string hertz_of(double hertz, double step) {
  return hertz_text(hertz, decimals_for(step, LEAST_HERTZ_DECIMALS));
}

std::string with_note(double hertz, double step) {
  std::string note = note_text(hertz);
  return hertz_of(hertz, step) + (note.empty() ? "" : " " + note);
}

std::string signed_text(double value, int decimals, const char* unit) {
  char text[64];
  std::snprintf(text, sizeof text, "%+.*f%s", decimals, value, unit);
  return text;
}

}  // namespace

std::string readout_text(ViewKind kind, const Probe& probe) {
  std::string line = time_of(probe) + "  ";
  if (kind == VIEW_RESIDUAL) {
    if (!probe.on_data) return line + "no bin";
    line += "bin " + std::to_string(probe.key) + "  ";
    if (std::isfinite(probe.hertz)) line += hertz_of(probe.hertz, probe.hertz / std::max<int64_t>(probe.key, 1)) + "  ";
    return line + decibels_text(probe.amplitude);
  }
  if (!probe.on_data) return line + "at pointer " + hertz_of(probe.value, probe.value_step);
  if (kind == VIEW_TRACKS) line += "#" + std::to_string(probe.key) + "  ";
  line += with_note(probe.value, probe.value_step) + "  ";
  if (kind == VIEW_TRACKS) return line + decibels_text(probe.amplitude);
  char confidence[32];
  std::snprintf(confidence, sizeof confidence, "confidence %.2f", probe.amplitude);
  return line + confidence;
}

std::string measure_text(ViewKind kind, const Probe& from, const Probe& to) {
  double time_step = std::max(from.time_step, to.time_step);
  std::string line = "\u0394t " + signed_text(to.time - from.time, decimals_for(time_step), " s") + "  ";
  if (kind == VIEW_RESIDUAL) {
    if (!from.on_data || !to.on_data) return line + "\u0394 bins unknown";
    return line + "\u0394 " + std::to_string(to.key - from.key) + " bins";
  }
  double step = std::max(from.value_step, to.value_step);
  if (from.value > 0 && to.value > 0) line += signed_text(1200.0 * std::log2(to.value / from.value), 0, "\u00a2") + "  ";
  return line + "\u0394f " + signed_text(to.value - from.value, decimals_for(step, LEAST_HERTZ_DECIMALS), " Hz");
}
