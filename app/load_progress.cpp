// The loading window and the load that drives it. The loader calls back between frames, between the
// pieces of a large matrix and, every few milliseconds, while it waits on a pipe; the toolkit is given
// time to draw the window and take the user's input only every few milliseconds, so that reporting
// progress does not slow the load down.
#include "app/load_progress.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Window.H>
#include <FL/filename.H>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// The clock is read only after this many bytes, since frames can be as small as 24 bytes.
constexpr long long CLOCK_STEP_BYTES = 16 * 1024;
// How often the window is brought up to date and the user's input is taken.
constexpr Clock::duration REFRESH = std::chrono::milliseconds(50);
constexpr double MEGABYTE = 1e6;

constexpr int WIDTH = 360, HEIGHT = 70, MARGIN = 10, LINE = 20;

// The window of one load: the file's name, then a bar of the bytes loaded against the file's size,
// or for a file without a size (a pipe) the bytes loaded as text.
class ProgressWindow {
 public:
  ProgressWindow(const char* path, long long size) : size(size) {
    window = std::make_unique<Fl_Window>(WIDTH, HEIGHT, "Loading");
    Fl_Box* name = new Fl_Box(MARGIN, MARGIN, WIDTH - 2 * MARGIN, LINE, fl_filename_name(path));
    name->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    if (size > 0) {
      // The label keeps the toolkit's black, which the bar turns to white over its blue part.
      bar = new Fl_Progress(MARGIN, HEIGHT - MARGIN - LINE, WIDTH - 2 * MARGIN, LINE);
      bar->selection_color(FL_BLUE);
    } else {
      count = new Fl_Box(MARGIN, HEIGHT - MARGIN - LINE, WIDTH - 2 * MARGIN, LINE);
      count->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    }
    window->end();
    // Both the window system's close button and Escape end in the window's callback.
    window->callback([](Fl_Widget*, void* self) { static_cast<ProgressWindow*>(self)->cancelled = true; }, this);
  }

  // Shows `bytes` and gives the toolkit its turn; false once the user has cancelled.
  bool show(long long bytes) {
    if (bar) {
      // A file written to while it loads may hold more than it did when it was opened.
      long long total = std::max(size, bytes);
      std::snprintf(text, sizeof text, "%.1f of %.1f MB", double(bytes) / MEGABYTE, double(total) / MEGABYTE);
      bar->maximum(float(total));
      bar->value(float(bytes));
      bar->label(text);
    } else {
      std::snprintf(text, sizeof text, "%.1f MB read", double(bytes) / MEGABYTE);
      count->label(text);
      count->redraw();
    }
    window->show();
    Fl::check();
    return !cancelled;
  }

 private:
  std::unique_ptr<Fl_Window> window;
  Fl_Progress* bar = nullptr;
  Fl_Box* count = nullptr;
  long long size;
  bool cancelled = false;
  char text[64];
};

struct Load {
  const char* path;
  long long size;  // known once the file is open
  Clock::time_point start;
  Clock::duration delay;
  long long bytes_at_clock = 0;
  Clock::time_point refreshed;
  std::unique_ptr<ProgressWindow> window;
};

bool report(void* context, long long bytes, bool waiting) {
  Load& load = *static_cast<Load*>(context);
  if (!waiting && bytes - load.bytes_at_clock < CLOCK_STEP_BYTES) return true;
  load.bytes_at_clock = bytes;
  Clock::time_point now = Clock::now();
  if (now - load.start < load.delay || now - load.refreshed < REFRESH) return true;
  load.refreshed = now;
  if (!load.window) load.window = std::make_unique<ProgressWindow>(load.path, load.size);
  return load.window->show(bytes);
}

}  // namespace

std::unique_ptr<SdifFile> load_with_progress(const char* path, double delay_seconds) {
  Load load{path, -1, Clock::now(),
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(delay_seconds)), 0, {}, {}};
  SdifProgress progress{report, &load};
  auto file = std::make_unique<SdifFile>(path, 0, progress);
  load.size = file->size();
  if (file->result == SdifCode::Ok) file->read_all_frames(progress);
  return file;
}
