// Entry point of sdif-synth. Everything happens in synth_main, which the tests also call in-process,
// inside the guard every companion program runs in.
#include <cstdio>

#include "cli/program_guard.h"
#include "synth/synth_run.h"

int main(int argc, char** argv) {
  return run_companion("sdif-synth", [&] { return synth_main(argc, argv, stdout, stderr); });
}
