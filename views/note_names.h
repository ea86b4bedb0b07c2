// Frequencies as notes of the equal-tempered scale with A4 at 440 Hz: the nearest note's name and the
// cents from it. Used by the viewer's readout and by the grid's note lines.
#pragma once

#include <string>

// The nearest note to a frequency, as a MIDI number (A4 is 69), and the cents from it, -50 to +50.
struct Note {
  int number;
  double cents;
};

// False for a frequency that is not positive and finite, or lies beyond the MIDI notes' reach.
bool nearest_note(double hertz, Note& note);

// "A4", "C#3", "F-1": the note's name and octave, C starting each octave.
std::string note_name(int number);

// The frequency of a note.
double note_frequency(int number);

// "A4 +3¢" or "C#5 -12¢": the nearest note and the cents from it, rounded; empty where there is none.
std::string note_text(double hertz);
