// sdif-render's whole run: the command line, then for each input the panels painted and the PNG
// written, or one thumbnail. main() only calls it; the tests call it in-process.
#pragma once

#include <ostream>

// The largest input a thumbnail is made of. File managers run thumbnailers over whole folders, and
// the whole file is loaded into memory, so a bigger file gets no preview rather than a long wait.
constexpr long long MAX_THUMBNAIL_INPUT = 64LL << 20;

// Writes --help and --version to `out`, warnings and errors to `err`. Returns the exit status: 0 when
// every picture was written, 1 when one could not be, 2 for a usage error.
int render_main(int argc, char** argv, std::ostream& out, std::ostream& err);
