// Words for getopt_long's errors.
#include "cli/option_error.h"

#include <getopt.h>

std::string option_error(int code, char** argv) {
  if (code == ':') return std::string("option '") + argv[optind - 1] + "' needs a value";
  // A short option names itself in optopt; a long one only in the argument it came in.
  return "unknown option '" + (optopt ? std::string("-") + char(optopt) : std::string(argv[optind - 1])) + "'";
}
