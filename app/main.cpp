// Entry point of the sdif-viewer executable: --help and --version, otherwise the viewer's whole run
// in viewer_main, which the tests also drive in-process.
#include <iostream>

#include "app/information_options.h"
#include "app/viewer_main.h"
#include "cli/program_guard.h"

int main(int argc, char** argv) {
  // An answer that could not be written (a full disk) is a failure, as in the companion programs.
  if (answer_information_option(argc, argv, std::cout)) return finish_standard_output("sdif-viewer", 0);
  return viewer_main(argc, argv);
}
