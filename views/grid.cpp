// Where the grid's lines go: the roundest values whose labels still keep apart.
#include "views/grid.h"

#include <cmath>

#include "views/axis_text.h"
#include "views/note_names.h"

namespace {

// Pixels between the labels of two neighbouring lines, at the least.
constexpr int LABEL_GAP = 6;
constexpr int VALUE_SPACING = GLYPH_HEIGHT + 5;
// The round steps within a power of ten.
constexpr double ROUND_STEPS[] = {1, 2, 5};
// The notes of an octave that the sets of note lines hold, from the sparsest (each C) to every
// semitone; each set spreads its notes evenly over the octave.
const std::vector<std::vector<int>> NOTE_SETS = {{0}, {0, 6}, {0, 4, 8}, {0, 2, 4, 6, 8, 10},
                                                 {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
constexpr int SEMITONES = 12;

// The round steps from the one at or below `least` upward, until `enough` says one is.
double round_step(double least, const std::function<bool(double)>& enough) {
  double power = std::pow(10.0, std::floor(std::log10(least)));
  for (int tries = 0; tries < 64; ++tries, power *= 10)
    for (double step : ROUND_STEPS)
      if (step * power >= least && enough(step * power)) return step * power;
  return 0.0;
}

std::string value_label(double value, int decimals, bool bins) {
  if (bins) return "bin " + std::to_string(std::lround(value));
  return hertz_text(value, decimals);
}

// The lines at `values` that lie on the axis, or none when two of them come closer than labels allow.
std::vector<GridLine> spaced(const std::vector<std::pair<double, std::string>>& values, int height,
                             const std::function<double(double)>& up) {
  std::vector<GridLine> lines;
  for (const auto& [value, label] : values) {
    double at = up(value);
    if (!(at >= 0.0 && at < height)) continue;
    if (!lines.empty() && at - lines.back().at < VALUE_SPACING) return {};
    lines.push_back({at, label});
  }
  return lines;
}

// Every multiple of `step` from `low` to `high`.
std::vector<std::pair<double, std::string>> multiples(double step, double low, double high, bool bins) {
  std::vector<std::pair<double, std::string>> values;
  int decimals = decimals_for(step);
  for (double n = std::ceil(low / step); n * step <= high; ++n) values.push_back({n * step, value_label(n * step, decimals, bins)});
  return values;
}

}  // namespace

std::vector<GridLine> time_grid(double left, double step, int width) {
  std::vector<GridLine> lines;
  if (!(step > 0.0) || width <= 0) return lines;
  const double right = left + step * width;
  // A label as wide as the widest of the view's times, with the decimals of the step tried.
  auto widest = [&](double tick) {
    int decimals = decimals_for(tick);
    double extreme = std::max(std::fabs(left), std::fabs(right));
    return label_width(seconds_text(-extreme, decimals).c_str());
  };
  double tick = round_step(step, [&](double t) { return t / step >= widest(t) + LABEL_GAP; });
  if (tick == 0.0) return lines;
  int decimals = decimals_for(tick);
  for (double n = std::ceil(left / tick); n * tick < right; ++n) {
    double column = std::ceil((n * tick - left) / step);
    if (column >= 0 && column < width) lines.push_back({column, seconds_text(n * tick + 0.0, decimals)});
  }
  return lines;
}

std::vector<GridLine> value_grid(GridValues kind, double low, double high, int height,
                                 const std::function<double(double)>& up, bool bins) {
  if (!(high > low) || height <= 0) return {};
  // Round steps on the axis's own terms, the densest whose labels keep apart; on a logarithmic axis
  // they are tried against the sets of values at 1 to 9, 1, 2 and 5, and 1 times each power of ten,
  // and the set with more lines wins.
  double least = bins ? 1.0 : (high - low) / height;
  std::vector<GridLine> lines;
  round_step(least, [&](double step) {
    lines = spaced(multiples(step, low, high, bins), height, up);
    return !lines.empty();
  });
  if (kind == GridValues::Linear) return lines;
  if (kind == GridValues::Logarithmic) {
    const std::vector<std::vector<double>> sets = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 5}, {1}};
    for (const auto& set : sets) {
      std::vector<std::pair<double, std::string>> values;
      for (double power = std::pow(10.0, std::floor(std::log10(std::max(low, 1e-9)))); power <= high; power *= 10)
        for (double m : set) values.push_back({m * power, value_label(m * power, decimals_for(power), bins)});
      std::vector<GridLine> candidate = spaced(values, height, up);
      if (candidate.size() > lines.size()) lines = candidate;
      if (!candidate.empty()) break;
    }
    return lines;
  }
  // Notes: the densest set of notes whose labels keep apart.
  Note lowest, highest;
  if (!nearest_note(std::max(low, 1e-9), lowest) || !nearest_note(high, highest)) return lines;
  for (auto set = NOTE_SETS.rbegin(); set != NOTE_SETS.rend(); ++set) {
    std::vector<std::pair<double, std::string>> values;
    for (int octave = lowest.number / SEMITONES - 1; octave <= highest.number / SEMITONES + 1; ++octave)
      for (int semitone : *set) {
        int number = octave * SEMITONES + semitone;
        values.push_back({note_frequency(number), note_name(number)});
      }
    std::vector<GridLine> candidate = spaced(values, height, up);
    if (!candidate.empty()) return candidate;
  }
  // Octaves too close for a label each: the Cs of every second octave, every third, and so on.
  for (int every = 2; every <= SEMITONES; ++every) {
    std::vector<std::pair<double, std::string>> values;
    for (int octave = lowest.number / SEMITONES - 1; octave <= highest.number / SEMITONES + 1; ++octave)
      // Octave numbers start a C later than the MIDI numbers: C4 is 60.
      if (((octave - 1) % every + every) % every == 0)
        values.push_back({note_frequency(octave * SEMITONES), note_name(octave * SEMITONES)});
    std::vector<GridLine> candidate = spaced(values, height, up);
    if (!candidate.empty()) return candidate;
  }
  return {};
}
