// The temporary-name-and-rename, and the signal handler that removes a temporary file left by a
// program ended in the middle of a write.
#include "cli/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// The temporary file being written, for the signal handler: a fixed buffer, since the handler may
// only make async-signal-safe calls. The programs are single-threaded and write one output at a time.
char pending_path[PATH_MAX];
volatile sig_atomic_t pending = 0;

void remove_pending_and_die(int signal_number) {
  if (pending) unlink(pending_path);
  raise(signal_number);  // the handler was reset to the default, which now ends the process
}

void install_cleanup_once() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action = {};
    action.sa_handler = remove_pending_and_die;
    action.sa_flags = SA_RESETHAND;
    struct sigaction previous;
    sigaction(signal_number, &action, &previous);
    // A signal that was ignored when the program started (nohup) stays ignored.
    if (previous.sa_handler == SIG_IGN) sigaction(signal_number, &previous, nullptr);
  }
}

// The permissions a new file gets: 0666 less the umask, as the shell's redirection gives it.
mode_t file_mode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool same_file(const std::string& a, const std::string& b) {
  struct stat first, second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

}  // namespace

OutputFile::~OutputFile() { abandon(); }

std::string OutputFile::open(const std::string& path, const std::string& input) {
  abandon();
  target = path;
  if (path == "-") {
    fd = STDOUT_FILENO;
    file = stdout;
    return "";
  }
  if (!input.empty() && same_file(path, input)) return "is the input " + input + "; not overwritten";
  static const mode_t mode = file_mode();
  install_cleanup_once();
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string pattern = folder + (slash == std::string::npos ? "/." : ".") + name + ".XXXXXX";
  if (pattern.size() >= sizeof pending_path) return std::strerror(ENAMETOOLONG);
  std::memcpy(pending_path, pattern.c_str(), pattern.size() + 1);
  fd = mkstemp(pending_path);
  if (fd < 0) return std::string("cannot create a file in ") + folder + ": " + std::strerror(errno);
  pending = 1;
  temporary = pending_path;
  if (fchmod(fd, mode) != 0) {
    std::string reason = std::strerror(errno);
    abandon();
    return reason;
  }
  return "";
}

FILE* OutputFile::stream() {
  if (!file && fd >= 0) file = fdopen(fd, "wb");
  return file;
}

std::string OutputFile::finish() {
  std::string reason;
  if (fd == STDOUT_FILENO) {
    if (std::fflush(stdout) != 0) reason = std::strerror(errno);
  } else if (file) {
    if (std::fclose(file) != 0) reason = std::strerror(errno);
  } else if (fd >= 0 && ::close(fd) != 0) {
    reason = std::strerror(errno);
  }
  file = nullptr;
  fd = -1;
  return reason;
}

std::string OutputFile::commit() {
  std::string reason = finish();
  if (reason.empty() && !temporary.empty() && rename(temporary.c_str(), target.c_str()) != 0)
    reason = std::strerror(errno);
  if (!reason.empty()) {
    abandon();
    return reason;
  }
  temporary.clear();
  pending = 0;
  return "";
}

void OutputFile::abandon() {
  finish();
  if (!temporary.empty()) unlink(temporary.c_str());
  temporary.clear();
  pending = 0;
}
