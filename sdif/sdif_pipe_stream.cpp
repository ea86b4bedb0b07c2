// The read function of the waiting stream: poll for at most the time left until the next report,
// read what has arrived, and report on time whether or not anything arrived, since a writer that sends
// a few bytes now and then would otherwise keep a read going without a report.
#include "sdif/sdif_pipe_stream.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <new>

namespace {

using Clock = std::chrono::steady_clock;

constexpr Clock::duration WAIT_REPORT = std::chrono::milliseconds(SDIF_WAIT_REPORT_MS);

struct Cookie {
  int fd;
  SdifPipeWait* wait;
  Clock::time_point reported;
};

// Milliseconds until `deadline`, rounded up, so that poll never returns just before it.
int milliseconds_until(Clock::time_point deadline) {
  Clock::duration left = deadline - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  return int(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

ssize_t wait_and_read(void* cookie, char* buffer, size_t size) {
  Cookie& c = *static_cast<Cookie*>(cookie);
  SdifPipeWait& wait = *c.wait;
  for (;;) {
    int timeout = -1;
    if (wait.progress.report && !wait.cancelled) {
      Clock::time_point now = Clock::now();
      if (now - c.reported >= WAIT_REPORT) {
        c.reported = now;
        wait.cancelled = !wait.progress.report(wait.progress.context, wait.bytes, true);
      }
      timeout = milliseconds_until(c.reported + WAIT_REPORT);
    }
    if (wait.cancelled) {
      errno = ECANCELED;
      return -1;
    }
    pollfd ready = {c.fd, POLLIN, 0};
    int events = poll(&ready, 1, timeout);
    if (events < 0 && errno != EINTR) return -1;
    if (events <= 0) continue;
    ssize_t got = read(c.fd, buffer, size);
    if (got >= 0 || (errno != EAGAIN && errno != EINTR)) return got;
  }
}

int close_cookie(void* cookie) {
  Cookie* c = static_cast<Cookie*>(cookie);
  int closed = close(c->fd);
  delete c;
  return closed;
}

}  // namespace

FILE* open_waiting_stream(int fd, SdifPipeWait* wait) {
  int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return nullptr;
  Cookie* cookie = new (std::nothrow) Cookie{fd, wait, Clock::now()};
  if (!cookie) {
    errno = ENOMEM;
    return nullptr;
  }
  cookie_io_functions_t functions = {wait_and_read, nullptr, nullptr, close_cookie};
  FILE* stream = fopencookie(cookie, "rb", functions);
  if (!stream) delete cookie;
  return stream;
}
