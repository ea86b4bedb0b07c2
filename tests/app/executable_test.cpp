// End-to-end tests of the sdif-viewer executable on the X display: which window each file makes it
// show and its size, the exit status once it is closed, that the file is only read and left untouched,
// and that no start-up path leaks or touches memory it does not own.
#include <gtest/gtest.h>

// Xlib defines None, Bool and Status as macros, so it comes after the test framework.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>
#include <vector>

#include "tests/support/test_files.h"

extern char** environ;

namespace {

struct Outcome {
  std::map<std::string, std::pair<int, int>> windows;  // sizes by title
  int status = -1;
  // The access modes (O_RDONLY, O_WRONLY or O_RDWR) of the descriptors the viewer held on the file.
  std::vector<int> access_modes;
};

// The value of the window's _NET_WM_PID property, or 0.
long window_pid(Display* display, Window window) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  long pid = 0;
  if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                         &type, &format, &count, &after, &data) == Success && data && count == 1)
    pid = long(*reinterpret_cast<unsigned long*>(data));
  if (data) XFree(data);
  return pid;
}

void ask_to_close(Display* display, Window window) {
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

// A window listed by XQueryTree may be gone by the time it is asked about; Xlib's default handler
// would end the test for that, and the next poll sees the truth anyway.
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

// The access modes of the descriptors that process `pid` has open on the file at `path`. The process
// may end meanwhile, so nothing here may throw.
std::vector<int> access_modes(pid_t pid, const std::string& path) {
  std::vector<int> modes;
  std::error_code error;
  std::filesystem::path file = std::filesystem::canonical(path, error);
  std::string proc = "/proc/" + std::to_string(pid);
  for (std::filesystem::directory_iterator entry(proc + "/fd", error), end; !error && entry != end;
       entry.increment(error)) {
    std::error_code unreadable;
    if (std::filesystem::read_symlink(entry->path(), unreadable) != file || unreadable) continue;
    std::ifstream info(proc + "/fdinfo/" + entry->path().filename().string());
    std::string field, flags;
    while (info >> field >> flags)
      if (field == "flags:") modes.push_back(int(std::stol(flags, nullptr, 8) & O_ACCMODE));
  }
  return modes;
}

// Runs the viewer on `path` under `checker` (a command and its options, if any), records every window
// of it that gets mapped, closes each a moment after it appears, as a user would, and returns once the
// process has exited (or has been killed for not doing so).
Outcome run_viewer(const std::string& path, std::vector<std::string> command = {}) {
  Outcome outcome;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    ADD_FAILURE() << "no X display";
    return outcome;
  }
  XSetErrorHandler(ignore_x_error);
  // A checker such as valgrind runs the viewer many times slower.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(command.empty() ? 20 : 120);
  command.insert(command.end(), {VIEWER_PATH, path});
  std::vector<char*> argv;
  for (std::string& word : command) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    ADD_FAILURE() << "cannot start " << argv[0];
    return outcome;
  }
  std::map<Window, int> polls_seen;
  int wait_status = 0;
  while (waitpid(pid, &wait_status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "the viewer did not exit";
      kill(pid, SIGKILL);
    }
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count; i++) {
      XWindowAttributes attributes;
      char* title = nullptr;
      if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable ||
          window_pid(display, children[i]) != pid)
        continue;
      // A window can be mapped a moment before its title is set; it is recorded once it has one, and
      // closed after a few polls, so that its size is seen once it has settled.
      if (XFetchName(display, children[i], &title) && title) {
        outcome.windows[title] = {attributes.width, attributes.height};
        XFree(title);
      }
      if (++polls_seen[children[i]] % 10 == 5) {
        for (int mode : access_modes(pid, path)) outcome.access_modes.push_back(mode);
        ask_to_close(display, children[i]);
      }
    }
    if (children) XFree(children);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  XCloseDisplay(display);
  outcome.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  return outcome;
}

struct Case {
  std::string path;
  const char* window;  // the one window the path leads to
  int width, height, status;
};

std::vector<Case> cases() {
  SdifWriter valid;
  valid.file_header();
  for (int i = 0; i < 3; i++) {
    valid.begin_frame("1FQ0", 0.1 * i, 1, 1).matrix_f32("1FQ0", 1, 2, {220, 0.9f}).end_frame();
    valid.begin_frame("1TRC", 0.1 * i, 2, 1).matrix_f32("1TRC", 1, 4, {1, 440, 0.5f, 0}).end_frame();
    valid.begin_frame("1STF", 0.1 * i, 3, 2).matrix_f32("1STI", 1, 1, {1}).matrix_f32("1STF", 2, 2, {1, 0, 0, 1});
    valid.end_frame();
  }
  SdifWriter other;
  other.file_header().begin_frame("1ENV", 0, 1, 1).matrix_f32("1ENV", 1, 1, {1}).end_frame();
  return {
      {temp_path("missing.sdif"), "Ondavue Error", 300, 80, 1},
      {save_temp(SdifWriter().raw("RIFF\0\0\0\0WAVEfmt ", 16), "sound.wav"), "Ondavue Error", 300, 80, 1},
      {save_temp(SdifWriter().raw(valid.bytes().data(), 10), "cut-header.sdif"), "Ondavue Error", 300, 80, 1},
      {save_temp(other, "envelope.sdif"), "Ondavue Error", 400, 80, 1},
      {save_temp(SdifWriter().raw(valid.bytes().data(), valid.size() - 3), "cut-frame.sdif"), "SDIF", 450, 450, 0},
      {save_temp(valid, "all-streams.sdif"), "SDIF", 450, 450, 0},
  };
}

}  // namespace

TEST(Executable, EachFileShowsOnlyItsWindowAndIsOnlyRead) {
  for (const Case& c : cases()) {
    struct stat before = {}, after = {};
    stat(c.path.c_str(), &before);
    std::vector<uint8_t> bytes = file_bytes(c.path);
    Outcome outcome = run_viewer(c.path);
    EXPECT_EQ(outcome.windows, (std::map<std::string, std::pair<int, int>>{{c.window, {c.width, c.height}}})) << c.path;
    EXPECT_EQ(outcome.status, c.status) << c.path;
    if (c.status != 0) continue;
    EXPECT_FALSE(outcome.access_modes.empty()) << "the file is held open while the window is up";
    for (int mode : outcome.access_modes) EXPECT_EQ(mode, O_RDONLY);
    stat(c.path.c_str(), &after);
    EXPECT_EQ(file_bytes(c.path), bytes);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  }
}

// Under a sanitizer build the viewer checks itself (LeakSanitizer runs at exit, and any report ends
// the process with another status); otherwise valgrind watches it, with its own exit status for errors.
TEST(Executable, NoStartUpPathLeaksOrTouchesMemoryItDoesNotOwn) {
  std::vector<std::string> checker;
  if (!VIEWER_SANITIZED)
    checker = {"valgrind", "--quiet", "--leak-check=full", "--show-leak-kinds=definite,indirect",
               "--errors-for-leak-kinds=definite,indirect", "--error-exitcode=99",
               "--suppressions=" SOURCE_DIR "/tests/valgrind.supp"};
  for (const Case& c : cases()) {
    Outcome outcome = run_viewer(c.path, checker);
    EXPECT_EQ(outcome.status, c.status) << c.path;
    EXPECT_EQ(outcome.windows.count(c.window), 1u) << c.path;
  }
}
