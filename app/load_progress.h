// Loading a document with the user kept informed: once a load has run for a moment, a small window
// shows the file's name and how far the load has come, and closing it or pressing Escape cancels the
// load. Used by viewer_main; small files load without any window.
#pragma once

#include "sdif/sdif_document.h"

class Fl_Box;
class Fl_Progress;
class Fl_Widget;
class Fl_Window;

// How long a load runs before its window appears.
constexpr double PROGRESS_DELAY_SECONDS = 0.5;
extern const char* const PROGRESS_TITLE;

// Loads every frame of `file`, opened from `path`, and returns the file's result: SdifCode::Cancelled
// when the user closed the window. Nothing is shown before `delay_seconds` have passed.
SdifResult load_with_progress(SdifFile& file, const char* path, double delay_seconds = PROGRESS_DELAY_SECONDS);

// The window of one load: the file's name, then a bar of the bytes loaded against the file's size,
// or for a file without a size (a pipe) the bytes loaded as text.
class ProgressWindow {
 public:
  ProgressWindow(const char* path, long long size);
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;
  ~ProgressWindow();

  void show(long long bytes);
  // True once the user has closed the window or pressed Escape in it.
  bool cancelled() const { return user_cancelled; }

 private:
  static void close_cb(Fl_Widget*, void* data);

  Fl_Window* window;
  Fl_Progress* bar = nullptr;
  Fl_Box* count = nullptr;
  long long size;
  bool user_cancelled = false;
  char text[64];
};
