// Entry point of sdif-render. Everything happens in render_main, which the tests also call in-process,
// inside the guard every companion program runs in.
#include <iostream>

#include "cli/program_guard.h"
#include "render/render_run.h"

int main(int argc, char** argv) {
  return run_companion("sdif-render", [&] { return render_main(argc, argv, std::cout, std::cerr); });
}
