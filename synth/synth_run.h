// sdif-synth's whole run: the command line, the synthesis of the chosen stream into the sound file,
// the summary, the exit status. main() only calls it; the tests call it in-process.
#pragma once

#include <cstdio>

// Writes --help and --version to `out`, the summary, warnings and errors to `err`. Returns the exit
// status: 0 when the sound was written, 1 when it could not be, 2 for a usage error.
int synth_main(int argc, char** argv, FILE* out, FILE* err);
