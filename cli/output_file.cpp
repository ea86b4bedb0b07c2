// Where an output name leads, the temporary name and its rename, and the signal handler that removes
// a temporary file left by a program ended in the middle of a write.
#include "cli/output_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace {

// The temporary file being written, for the signal handler: a fixed buffer, since the handler may
// only make async-signal-safe calls. The programs are single-threaded and write one output at a time.
char pending_path[PATH_MAX];
volatile sig_atomic_t pending = 0;

// Every signal that ends a program by default and can be caught.
constexpr int CLEANUP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGPIPE};

// What the temporary name adds to the output's: a dot before it, and a dot and mkstemp's six letters
// after it.
constexpr size_t TEMPORARY_EXTRA = 8;
// Symbolic links followed in a row before giving up, as the kernel gives up.
constexpr int MAX_LINKS = 40;
// Standing for a descriptor number in /proc/self/fd: more digits than any descriptor has.
constexpr size_t MAX_DESCRIPTOR_DIGITS = 9;

const char* const LOST = "could not all be written";

void remove_pending_and_die(int signal_number) {
  if (pending) unlink(pending_path);
  raise(signal_number);  // the handler was reset to the default, which now ends the process
}

sigset_t cleanup_signals() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal_number : CLEANUP_SIGNALS) sigaddset(&set, signal_number);
  return set;
}

void install_cleanup_once() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  // Past the file-size limit a write then fails with EFBIG, which is reported like a full disk.
  signal(SIGXFSZ, SIG_IGN);
  for (int signal_number : CLEANUP_SIGNALS) {
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
mode_t new_file_mode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool same_file(const std::string& a, const std::string& b) {
  struct stat first, second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

// "DIR/" of "DIR/NAME", "" of a bare name.
std::string folder_of(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

bool on_proc(const std::string& folder) {
  struct statfs system;
  return statfs(folder.empty() ? "." : folder.c_str(), &system) == 0 && system.f_type == PROC_SUPER_MAGIC;
}

// Follows the symbolic links from `path` to the name at the end of the chain, which may not exist yet.
// A link in /proc (/dev/stdout leads to /proc/self/fd/1) stands for an open file rather than a place,
// and ends the chain with `through_proc` set. False with errno set when the chain cannot be followed.
bool follow_links(std::string& path, bool& through_proc) {
  through_proc = false;
  for (int links = 0;; ++links) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) return errno == ENOENT;
    if (!S_ISLNK(status.st_mode)) return true;
    std::string folder = folder_of(path);
    if (on_proc(folder)) {
      through_proc = true;
      return true;
    }
    char link[PATH_MAX];
    ssize_t length = readlink(path.c_str(), link, sizeof link);
    if (length < 0) return false;
    if (links == MAX_LINKS || size_t(length) == sizeof link) {
      errno = links == MAX_LINKS ? ELOOP : ENAMETOOLONG;
      return false;
    }
    path = (link[0] == '/' ? std::string() : folder) + std::string(link, size_t(length));
  }
}

// This process's descriptor that a /proc/self/fd/N name stands for, or -1. Writing through the
// descriptor keeps its offset and append mode, where opening the name anew would start at 0.
int own_descriptor(const std::string& path, const struct stat& status) {
  std::string digits = path.substr(path.rfind('/') + 1);
  bool number = !digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos;
  if (!number || digits.size() > MAX_DESCRIPTOR_DIGITS) return -1;
  int descriptor = std::stoi(digits);
  struct stat open_file;
  if (fstat(descriptor, &open_file) != 0 || open_file.st_dev != status.st_dev || open_file.st_ino != status.st_ino)
    return -1;
  return descriptor;
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
  install_cleanup_once();
  std::string end = path;
  bool through_proc;
  if (!follow_links(end, through_proc)) return std::strerror(errno);
  struct stat status;
  bool exists = stat(end.c_str(), &status) == 0;
  if (!through_proc && (!exists || S_ISREG(status.st_mode))) return replace(end, exists ? &status : nullptr);
  if (exists && S_ISDIR(status.st_mode)) return std::strerror(EISDIR);
  int own = exists ? own_descriptor(end, status) : -1;
  if (own == STDOUT_FILENO) {
    fd = STDOUT_FILENO;
    file = stdout;
    return "";
  }
  int truncate = exists && S_ISREG(status.st_mode) ? O_TRUNC : 0;
  fd = own >= 0 ? fcntl(own, F_DUPFD_CLOEXEC, 0) : ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | truncate);
  return fd < 0 ? std::strerror(errno) : "";
}

std::string OutputFile::replace(const std::string& path, const struct stat* existing) {
  std::string folder = folder_of(path);
  std::string shown_folder = folder.empty() ? "./" : folder;
  // The name is shortened where needed, so that the temporary name fits wherever the output's does.
  if (shown_folder.size() + TEMPORARY_EXTRA >= PATH_MAX) return std::strerror(ENAMETOOLONG);
  size_t kept = std::min<size_t>(NAME_MAX, PATH_MAX - 1 - shown_folder.size()) - TEMPORARY_EXTRA;
  std::string pattern = shown_folder + "." + path.substr(folder.size(), kept) + ".XXXXXX";
  std::memcpy(pending_path, pattern.c_str(), pattern.size() + 1);
  // No signal may come between the file's creation and the handler's knowing of it.
  sigset_t blocked = cleanup_signals(), previous;
  sigprocmask(SIG_BLOCK, &blocked, &previous);
  fd = mkostemp(pending_path, O_CLOEXEC);
  int error = errno;
  pending = fd >= 0;
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  if (fd < 0) return "cannot create a file in " + shown_folder + ": " + std::strerror(error);
  temporary = pending_path;
  target = path;

  static const mode_t fresh_mode = new_file_mode();
  mode_t mode = fresh_mode;
  if (existing) {
    mode = existing->st_mode & 07777;
    // Only root may give a file away; others keep at least its group where they belong to it. A
    // set-ID bit stays only with the owner or group it was set for.
    bool owner_kept = fchown(fd, existing->st_uid, existing->st_gid) == 0;
    bool group_kept = owner_kept || fchown(fd, uid_t(-1), existing->st_gid) == 0;
    if (!owner_kept) mode &= ~mode_t(S_ISUID);
    if (!group_kept) mode &= ~mode_t(S_ISGID);
  }
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
  errno = 0;
  bool failed = false;
  if (file == stdout) {
    failed = std::fflush(stdout) != 0 || std::ferror(stdout);
    // The failure is this output's and is reported as such, not again when the program ends.
    if (failed) std::clearerr(stdout);
  } else if (file) {
    failed = std::ferror(file);
    failed = std::fclose(file) != 0 || failed;
  } else if (fd >= 0 && fd != STDOUT_FILENO) {
    failed = ::close(fd) != 0;
  }
  file = nullptr;
  fd = -1;
  if (!failed) return "";
  return errno ? std::strerror(errno) : LOST;
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
