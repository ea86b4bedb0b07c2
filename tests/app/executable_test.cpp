// End-to-end tests of the sdif-viewer executable on the X display: which windows each file makes it
// show, their sizes, the exit status once they are closed, and that the file is left untouched.
#include <gtest/gtest.h>

// Xlib defines None, Bool and Status as macros, so it comes after the test framework.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <thread>

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

// Runs the viewer on `path`, records every window of it that gets mapped, closes each one a moment
// after it appears (as a user would), and returns once the process has exited.
Outcome run_viewer(const std::string& path) {
  Outcome outcome;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    ADD_FAILURE() << "no X display";
    return outcome;
  }
  XSetErrorHandler(ignore_x_error);
  std::string program = VIEWER_PATH;
  char* argv[] = {program.data(), const_cast<char*>(path.c_str()), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
    ADD_FAILURE() << "cannot start " << program;
    XCloseDisplay(display);
    return outcome;
  }

  std::map<Window, int> polls_seen;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
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
      if (++polls_seen[children[i]] % 10 == 5) ask_to_close(display, children[i]);
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

  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(file_bytes(path), bytes);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}
