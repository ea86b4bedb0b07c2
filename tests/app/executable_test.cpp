// End-to-end tests of the sdif-viewer executable on the X display: which windows each file makes it
// show, their sizes, the exit status once they are closed, that the file is only read and left
// untouched, that no start-up path leaks or touches memory it does not own, and a Ctrl-drag made of
// real input events (xdotool) moving every panel's time slider.
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
#include <utility>
#include <vector>
#include <thread>

#include "tests/support/temp_dir.h"
#include "tools/testfiles/sdif_writer.h"

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

// Starts the viewer on `path`, under `checker` (a command and its options) if one is given.
pid_t start_viewer(const std::string& path, const std::vector<std::string>& checker = {}) {
  std::vector<std::string> command = checker;
  command.push_back(VIEWER_PATH);
  command.push_back(path);
  std::vector<char*> argv;
  for (std::string& word : command) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    ADD_FAILURE() << "cannot start " << argv[0];
    return 0;
  }
  return pid;
}

// The exit status, or 128 plus the signal; the process is killed if it has not exited in time.
int wait_for_exit(pid_t pid, int seconds) {
  int wait_status = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (waitpid(pid, &wait_status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "the viewer did not exit";
      kill(pid, SIGKILL);
      waitpid(pid, &wait_status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
}

// The top-level windows of process `pid` that are mapped and viewable now.
std::vector<Window> viewable_windows(Display* display, pid_t pid) {
  std::vector<Window> found;
  Window root, parent, *children = nullptr;
  unsigned int count = 0;
  XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
  for (unsigned int i = 0; i < count; i++) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
    if (window_pid(display, children[i]) == pid) found.push_back(children[i]);
  }
  if (children) XFree(children);
  return found;
}

std::string window_title(Display* display, Window window) {
  std::string title;
  char* name = nullptr;
  if (XFetchName(display, window, &name) && name) {
    title = name;
    XFree(name);
  }
  return title;
}

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

// Runs the viewer on `path` (under `checker`, as start_viewer does), records every window of it that
// gets mapped, closes each one a moment after it appears (as a user would), and returns once the
// process has exited.
Outcome run_viewer(const std::string& path, const std::vector<std::string>& checker = {}) {
  Outcome outcome;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    ADD_FAILURE() << "no X display";
    return outcome;
  }
  XSetErrorHandler(ignore_x_error);
  pid_t pid = start_viewer(path, checker);
  if (!pid) {
    XCloseDisplay(display);
    return outcome;
  }

  std::map<Window, int> polls_seen;
  // A checker such as valgrind runs the viewer many times slower.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(checker.empty() ? 20 : 120);
  siginfo_t exited = {};
  while (waitid(P_PID, id_t(pid), &exited, WEXITED | WNOHANG | WNOWAIT) == 0 && exited.si_pid == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    for (Window window : viewable_windows(display, pid)) {
      XWindowAttributes attributes;
      if (!XGetWindowAttributes(display, window, &attributes)) continue;
      // A window can be mapped a moment before its title is set; it is recorded once it has one.
      std::string title = window_title(display, window);
      if (!title.empty()) outcome.windows[title] = SeenWindow{attributes.width, attributes.height};
      // Closed after a few polls, so that its size is seen once it has settled.
      if (++polls_seen[window] % 10 == 5) {
        for (int mode : access_modes(pid, path)) outcome.access_modes.push_back(mode);
        ask_to_close(display, window);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  XCloseDisplay(display);
  outcome.status = wait_for_exit(pid, 1);
  return outcome;
}

// The pixels of a window, row after row, as the server holds them.
std::vector<unsigned long> window_pixels(Display* display, Window window, int width, int height) {
  std::vector<unsigned long> pixels;
  XImage* image = XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap);
  if (!image) return pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(XGetPixel(image, x, y));
  XDestroyImage(image);
  return pixels;
}

// The columns of a time slider's knob, read from its raised outline: the row just inside the slider's
// top edge is lit from the knob's first pixel up to the one before its last, and gray elsewhere.
std::pair<int, int> knob_columns(const std::vector<unsigned long>& pixels, int slider_top) {
  int first = -1, last = -1;
  for (int x = 1; x < 429; ++x) {
    unsigned long pixel = pixels[size_t(slider_top + 1) * 450 + size_t(x)];
    bool lit = (pixel & 0xff) > 0xc0 && (pixel >> 8 & 0xff) > 0xc0 && (pixel >> 16 & 0xff) > 0xc0;
    if (lit && first < 0) first = x;
    if (lit) last = x + 1;
  }
  return {first, last};
}

// Moves and presses the pointer with real X input events, through xdotool; true when it ran.
bool xdotool(const std::vector<std::string>& arguments) {
  std::vector<std::string> words{"xdotool"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The pointer pressed at (x, y) on the screen, dragged right by `distance` in steps, and released,
// with Ctrl held throughout when `ctrl` is set. Each step pauses as a hand would: the toolkit merges
// pointer motions that arrive together, and one merged into the release would be no drag at all.
bool drag_right(int x, int y, int distance, bool ctrl) {
  std::vector<std::string> steps = {"mousemove", "--sync", std::to_string(x), std::to_string(y), "mousedown", "1"};
  if (ctrl) steps.insert(steps.begin(), {"keydown", "ctrl"});
  for (int moved = 10; moved <= distance; moved += 10)
    steps.insert(steps.end(), {"sleep", "0.03", "mousemove", "--sync", std::to_string(x + moved), std::to_string(y)});
  steps.insert(steps.end(), {"sleep", "0.03", "mouseup", "1"});
  if (ctrl) steps.insert(steps.end(), {"keyup", "ctrl"});
  return xdotool(steps);
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
    const char* window;  // the one the path leads to
    int status;
  } cases[] = {
      {temp_path("missing.sdif"), "Ondavue Error", 1},
      {save_temp(SdifWriter().raw("RIFF\0\0\0\0WAVEfmt ", 16), "sound.wav"), "Ondavue Error", 1},
      {save_temp(SdifWriter().raw(valid.bytes().data(), 10), "cut-header.sdif"), "Ondavue Error", 1},
      {save_temp(SdifWriter().raw(valid.bytes().data(), valid.size() - 3), "cut-frame.sdif"), "SDIF", 0},
      {save_temp(other, "envelope.sdif"), "Ondavue Error", 1},
      {save_temp(valid, "all-streams.sdif"), "SDIF", 0},
  };
  for (const auto& c : cases) {
    Outcome outcome = run_viewer(c.path, checker);
    EXPECT_EQ(outcome.status, c.status) << c.path;
    EXPECT_EQ(outcome.windows.count(c.window), 1u) << c.path;
  }
}

TEST(Executable, CtrlDragOnOneTimeSliderMovesEveryPanelsKnob) {
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  XSetErrorHandler(ignore_x_error);
  pid_t pid = start_viewer(EXAMPLE_PATH);
  ASSERT_NE(pid, 0);
  Window window = 0;
  for (int poll = 0; poll < 500 && !window; ++poll) {
    for (Window shown : viewable_windows(display, pid))
      if (window_title(display, shown) == "SDIF") window = shown;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_NE(window, 0u) << "no main window";
  int left = 0, top = 0;
  Window child;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &left, &top, &child);

  // The time sliders' tops in the three bands; every knob starts over the whole track.
  const int sliders[] = {130, 280, 430};
  auto knobs_become = [&](std::pair<int, int> pitch, std::pair<int, int> others) {
    std::vector<std::pair<int, int>> seen;
    for (int poll = 0; poll < 250; ++poll) {
      std::vector<unsigned long> pixels = window_pixels(display, window, 450, 450);
      if (pixels.empty()) break;
      seen.clear();
      for (int top_row : sliders) seen.push_back(knob_columns(pixels, top_row));
      if (seen == std::vector<std::pair<int, int>>{pitch, others, others}) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (auto [first, last] : seen) ADD_FAILURE() << "knob seen at columns " << first << " to " << last;
    return false;
  };
  EXPECT_TRUE(knobs_become({1, 428}, {1, 428}));

  // Without Ctrl, the first end of the Pitch knob moves alone.
  ASSERT_TRUE(drag_right(left + 3, top + 140, 50, false)) << "xdotool failed";
  EXPECT_TRUE(knobs_become({51, 428}, {1, 428}));
  // With Ctrl, dragging the Sinusoids knob's first end gives all three panels its range.
  ASSERT_TRUE(drag_right(left + 3, top + 290, 100, true));
  EXPECT_TRUE(knobs_become({101, 428}, {101, 428}));

  ask_to_close(display, window);
  XCloseDisplay(display);
  EXPECT_EQ(wait_for_exit(pid, 10), 0);
}
