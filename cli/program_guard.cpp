// The top of every companion program: signals, out of memory and standard output's state at the end.
#include "cli/program_guard.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>

namespace {

char noted_input[PATH_MAX];

// A pipe whose reader went away is in error for writing; that is how `| head` ends a program that
// ignores SIGPIPE, and errno may no longer tell it when the write failed long before.
bool reader_gone() {
  pollfd out = {STDOUT_FILENO, POLLOUT, 0};
  return poll(&out, 1, 0) == 1 && (out.revents & POLLERR);
}

}  // namespace

void note_input(const char* path) { std::snprintf(noted_input, sizeof noted_input, "%s", path); }

void report_out_of_memory(const char* program) {
  std::fputs(program, stderr);
  std::fputs(": ", stderr);
  if (noted_input[0]) {
    std::fputs(noted_input, stderr);
    std::fputs(": ", stderr);
  }
  std::fputs("out of memory\n", stderr);
}

int finish_standard_output(const char* program, int status) {
  errno = 0;
  std::cout.flush();
  bool lost = std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout;
  if (!lost || errno == EPIPE || reader_gone()) return status;
  const char* reason = errno ? std::strerror(errno) : "could not all be written";
  std::fprintf(stderr, "%s: standard output: %s\n", program, reason);
  return status == 0 ? 1 : status;
}

int run_companion(const char* program, const std::function<int()>& work) {
  // Past the file-size limit a write then fails with EFBIG and is reported like a full disk.
  signal(SIGXFSZ, SIG_IGN);
  int status;
  try {
    status = work();
  } catch (const std::bad_alloc&) {
    report_out_of_memory(program);
    status = 1;
  }
  return finish_standard_output(program, status);
}
