// Entry point of sdif-export; everything happens in export_main, which the tests call directly, inside
// the guard every companion program runs in. A reader that closes the pipe must not kill the process:
// the write then fails with EPIPE, which the export takes as its quiet end (`| head`).
#include <signal.h>

#include <cstdio>

#include "cli/program_guard.h"
#include "export/export_run.h"

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  return run_companion("sdif-export", [&] { return export_main(argc, argv, stdout, stderr); });
}
