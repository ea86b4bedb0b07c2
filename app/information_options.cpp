// The text of the viewer's --help and --version, for people reading a terminal.
#include "app/information_options.h"

#include <cstring>

#include "version.h"

namespace {

const char* const USAGE =
    "Usage: sdif-viewer [FILE]\n"
    "Shows the pitch, sinusoidal-track and residual-spectrum streams of an SDIF (Sound Description\n"
    "Interchange Format) analysis file as time-frequency pictures, in one window.\n"
    "\n"
    "Without FILE, a file chooser asks for a *.sdf or *.sdif file. To open a file named like one of\n"
    "the options below, write its path with a folder, as in ./--help.\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status: 0 after the window is closed or when no file was chosen; 1 when the file cannot\n"
    "be read or holds none of the streams the viewer shows.\n";

}  // namespace

bool answer_information_option(int argc, char** argv, std::ostream& out) {
  if (argc < 2) return false;
  if (std::strcmp(argv[1], "--help") == 0) {
    out << USAGE;
    return true;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    out << "sdif-viewer " SDIF_VIEWER_VERSION "\n";
    return true;
  }
  return false;
}
