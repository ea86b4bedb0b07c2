// The viewer's two informational options, --help and --version, answered before anything starts.
// main() asks here first; every other command line goes to viewer_main unchanged.
#pragma once

#include <ostream>

// When the first argument is exactly "--help" or "--version", writes the answer to `out` and
// returns true. Otherwise writes nothing and returns false: a file named like an option still opens
// as "./--help", and no abbreviation or later argument is taken for an option.
bool answer_information_option(int argc, char** argv, std::ostream& out);
