// Entry point of sdif-export; everything happens in export_main, which the tests call directly. Here
// are what only a whole process has: a reader that closes the pipe must not kill it, and standard
// output is checked once all is written to it.
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "export/export_run.h"

int main(int argc, char** argv) {
  // A closed pipe then fails the write with EPIPE, which the export takes as its end (`| head`).
  signal(SIGPIPE, SIG_IGN);
  int status = export_main(argc, argv, stdout, stderr);
  if (std::fclose(stdout) != 0 && errno != EPIPE) {
    std::fprintf(stderr, "sdif-export: standard output: %s\n", std::strerror(errno));
    return 1;
  }
  return status;
}
