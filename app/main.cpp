// Entry point of the sdif-viewer executable: --help and --version, otherwise the viewer's whole run
// in viewer_main, which the tests also drive in-process.
#include <iostream>

#include "app/information_options.h"
#include "app/viewer_main.h"

int main(int argc, char** argv) {
  // An answer that could not be written (a full disk, a closed pipe) is a failure, as in GNU tools.
  if (answer_information_option(argc, argv, std::cout)) return std::cout.flush() ? 0 : 1;
  return viewer_main(argc, argv);
}
