// Note arithmetic on the equal-tempered scale.
#include "views/note_names.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int A4 = 69;
constexpr double A4_HERTZ = 440.0;
constexpr int SEMITONES = 12;
// A MIDI number is 0 to 127; a little beyond lets the grid name the notes around the audible range.
constexpr int LOWEST_NOTE = -24, HIGHEST_NOTE = 160;

const char* const NAMES[SEMITONES] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

// The floor division that keeps the octave of negative note numbers right.
int octave_of(int number) { return (number >= 0 ? number : number - (SEMITONES - 1)) / SEMITONES - 1; }

}  // namespace

bool nearest_note(double hertz, Note& note) {
  if (!(hertz > 0.0) || !std::isfinite(hertz)) return false;
  double semitones = A4 + SEMITONES * std::log2(hertz / A4_HERTZ);
  double nearest = std::round(semitones);
  if (nearest < LOWEST_NOTE || nearest > HIGHEST_NOTE) return false;
  note = {int(nearest), 100.0 * (semitones - nearest)};
  return true;
}

std::string note_name(int number) {
  int in_octave = ((number % SEMITONES) + SEMITONES) % SEMITONES;
  return NAMES[in_octave] + std::to_string(octave_of(number));
}

double note_frequency(int number) { return A4_HERTZ * std::exp2(double(number - A4) / SEMITONES); }

std::string note_text(double hertz) {
  Note note;
  if (!nearest_note(hertz, note)) return "";
  char cents[16];
  // Rounded cents of -0.4 read as "+0", not "-0".
  long rounded = std::lround(note.cents);
  std::snprintf(cents, sizeof cents, "%+ld\u00a2", rounded);
  return note_name(note.number) + " " + cents;
}
