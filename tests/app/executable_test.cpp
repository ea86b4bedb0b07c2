// End-to-end tests of the sdif-viewer executable on the X display: which windows each file makes it
// show, their sizes, the exit status once they are closed, that the file is only ever read, and that
// no start-up path leaks or touches memory it does not own.
#include <gtest/gtest.h>

// Xlib defines None, Bool and Status as macros, so it comes after the test framework.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
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

#include "tests/support/temp_dir.h"
#include "tools/sdif_writer.h"

extern char** environ;

namespace {

struct SeenWindow {
  int width = 0, height = 0;
};

struct Outcome {
  std::map<std::string, SeenWindow> windows;  // by title
  int status = -1;
  // The access mode (O_RDONLY, O_WRONLY or O_RDWR) of each descriptor the viewer held on the file
  // while its windows were up.
  std::vector<int> access_modes;
};

// The value of the window's _NET_WM_PID property, or 0.
long window_pid(Display* display, Window window) {
  Atom pid_atom = XInternAtom(display, "_NET_WM_PID", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  long pid = 0;
  if (XGetWindowProperty(display, window, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                         &data) == Success &&
      data && count == 1)
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
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

// A window listed by XQueryTree may be gone by the time it is asked about; Xlib's default handler
// would end the test for that, and the next poll sees the truth anyway.
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

// The access modes of the descriptors that process `pid` has open on the file at `path`.
std::vector<int> access_modes(pid_t pid, const std::string& path) {
  std::vector<int> modes;
  std::error_code error;
  std::filesystem::path file = std::filesystem::canonical(path, error);
  std::string descriptors = "/proc/" + std::to_string(pid) + "/fd";
  // The process may end meanwhile, so nothing here may throw.
  for (std::filesystem::directory_iterator entry(descriptors, error), end; !error && entry != end;
       entry.increment(error)) {
    std::error_code unreadable;
    if (std::filesystem::read_symlink(entry->path(), unreadable) != file || unreadable) continue;
    std::ifstream info("/proc/" + std::to_string(pid) + "/fdinfo/" + entry->path().filename().string());
    std::string field, flags;
    while (info >> field >> flags)
      if (field == "flags:") modes.push_back(int(std::stol(flags, nullptr, 8) & O_ACCMODE));
  }
  return modes;
}

// Runs the viewer on `path`, under `checker` (a command and its options) if one is given, records
// every window of it that gets mapped, closes each one a moment after it appears (as a user would),
// and returns once the process has exited.
Outcome run_viewer(const std::string& path, const std::vector<std::string>& checker = {}) {
  Outcome outcome;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    ADD_FAILURE() << "no X display";
    return outcome;
  }
  XSetErrorHandler(ignore_x_error);
  std::vector<std::string> command = checker;
  command.push_back(VIEWER_PATH);
  command.push_back(path);
  std::vector<char*> argv;
  for (std::string& word : command) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    ADD_FAILURE() << "cannot start " << argv[0];
    XCloseDisplay(display);
    return outcome;
  }

  std::map<Window, int> polls_seen;
  // A checker such as valgrind runs the viewer many times slower.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(checker.empty() ? 20 : 120);
  int wait_status = 0;
  while (waitpid(pid, &wait_status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "the viewer did not exit";
      kill(pid, SIGKILL);
      waitpid(pid, &wait_status, 0);
      break;
    }
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count; i++) {
      XWindowAttributes attributes;
      if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
      if (window_pid(display, children[i]) != pid) continue;
      char* name = nullptr;
      if (XFetchName(display, children[i], &name) && name) {
        outcome.windows[name] = SeenWindow{attributes.width, attributes.height};
        XFree(name);
      }
      // Closed after a few polls, so that its size is seen once it has settled.
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

}  // namespace

TEST(Executable, FailuresShowOnlyTheirDialog) {
  SdifWriter other;
  other.file_header().begin_frame("1ENV", 0, 1, 0).end_frame();
  const struct {
    std::string path;
    int width, status;
  } cases[] = {
      {temp_path("missing.sdif"), 300, 1},
      {save_temp(SdifWriter().raw("RIFF\0\0\0\0WAVEfmt ", 16), "sound.wav"), 300, 1},
      {save_temp(other, "envelope.sdif"), 400, 1},
  };
  for (const auto& c : cases) {
    Outcome outcome = run_viewer(c.path);
    EXPECT_EQ(outcome.windows.count("SDIF"), 0u) << c.path;
    ASSERT_EQ(outcome.windows.count("Ondavue Error"), 1u) << c.path;
    EXPECT_EQ(outcome.windows["Ondavue Error"].width, c.width) << c.path;
    EXPECT_EQ(outcome.windows["Ondavue Error"].height, 80) << c.path;
    EXPECT_EQ(outcome.windows.size(), 1u) << c.path;
    EXPECT_EQ(outcome.status, c.status) << c.path;
  }
}

TEST(Executable, ValidFileOpensTheMainWindowAndLeavesTheFileAlone) {
  SdifWriter valid;
  valid.file_header();
  for (int i = 0; i < 20; i++)
    valid.begin_frame("1TRC", 0.01 * i, 1, 1).matrix_f32("1TRC", 1, 4, {1, 440, 0.5f, 0}).end_frame();
  std::string path = save_temp(valid, "valid.sdif");
  struct stat before, after;
  ASSERT_EQ(stat(path.c_str(), &before), 0);
  std::vector<uint8_t> bytes = file_bytes(path);

  Outcome outcome = run_viewer(path);
  ASSERT_EQ(outcome.windows.count("SDIF"), 1u);
  EXPECT_EQ(outcome.windows["SDIF"].width, 450);
  EXPECT_EQ(outcome.windows["SDIF"].height, 450);
  EXPECT_EQ(outcome.windows.size(), 1u);
  EXPECT_EQ(outcome.status, 0);

  ASSERT_FALSE(outcome.access_modes.empty()) << "the file is held open while the window is up";
  for (int mode : outcome.access_modes) EXPECT_EQ(mode, O_RDONLY);
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(file_bytes(path), bytes);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

// Under a sanitizer build the viewer checks itself (LeakSanitizer runs at exit, and any report ends
// the process with another status); otherwise valgrind watches it, with its own exit status for errors.
TEST(Executable, NoStartUpPathLeaksOrTouchesMemoryItDoesNotOwn) {
  std::vector<std::string> checker;
  if (!VIEWER_SANITIZED)
    checker = {"valgrind", "--quiet", "--leak-check=full", "--show-leak-kinds=definite,indirect",
               "--errors-for-leak-kinds=definite,indirect", "--error-exitcode=99",
               "--suppressions=" SOURCE_DIR "/tests/valgrind.supp"};
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
  const struct {
    std::string path;
    int status;
  } cases[] = {
      {temp_path("missing.sdif"), 1},
      {save_temp(SdifWriter().raw("RIFF\0\0\0\0WAVEfmt ", 16), "sound.wav"), 1},
      {save_temp(SdifWriter().raw(valid.bytes().data(), 10), "cut-header.sdif"), 1},
      {save_temp(SdifWriter().raw(valid.bytes().data(), valid.size() - 3), "cut-frame.sdif"), 0},
      {save_temp(other, "envelope.sdif"), 1},
      {save_temp(valid, "all-streams.sdif"), 0},
  };
  for (const auto& c : cases) {
    Outcome outcome = run_viewer(c.path, checker);
    EXPECT_EQ(outcome.status, c.status) << c.path;
    EXPECT_EQ(outcome.windows.size(), 1u) << c.path;
  }
}
