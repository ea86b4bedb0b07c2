// The words of a getopt_long error, for the companion programs whose options it parses.
#pragma once

#include <string>

// For getopt_long's ':' (a value missing) or '?' (an unknown option) just returned over `argv`:
// "option '--time' needs a value" or "unknown option '-x'". Call it before getopt_long is called again.
std::string option_error(int code, char** argv);
