// Entry point of the sdif-info executable; everything happens in info_main, which tests call directly,
// inside the guard every companion program runs in.
#include <cstdio>

#include "cli/program_guard.h"
#include "info/info_main.h"

int main(int argc, char** argv) {
  return run_companion("sdif-info", [&] { return info_main(argc, argv, stdout, stderr); });
}
