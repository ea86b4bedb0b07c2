// Test-side event delivery through the toolkit's public event state (Fl::e_x, Fl::e_keysym, ...)
// and timeouts that fire inside the code's own Fl::wait() loops.
#include "tests/support/fltk_driver.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Widget.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <deque>

namespace {

std::deque<std::function<void()>> steps;

void give_up(void*) {
  steps.clear();
  while (Fl_Window* w = Fl::first_window()) w->hide();
}

void run_step(void*) {
  if (steps.empty()) return;
  std::function<void()> step = std::move(steps.front());
  steps.pop_front();
  step();
}

}  // namespace

void when_idle(std::function<void()> step, double give_up_seconds) {
  steps.push_back(std::move(step));
  // A short delay lets the window system map and expose the windows first.
  Fl::add_timeout(0.05 * double(steps.size()), run_step);
  Fl::remove_timeout(give_up);
  Fl::add_timeout(give_up_seconds, give_up);
}

std::vector<Fl_Window*> shown_windows() {
  std::vector<Fl_Window*> windows;
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) windows.push_back(w);
  return windows;
}

Fl_Window* shown_window(const std::string& title) {
  for (Fl_Window* w : shown_windows())
    if (w->label() && title == w->label()) return w;
  return nullptr;
}

void click(Fl_Widget* widget) {
  Fl::e_x = widget->x() + widget->w() / 2;
  Fl::e_y = widget->y() + widget->h() / 2;
  Fl::e_state = 0;
  Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
  Fl::handle(FL_PUSH, widget->window());
  Fl::handle(FL_RELEASE, widget->window());
}

bool press_and_drag(Fl_Widget* widget, bool along_x, int offset, const std::vector<int>& moves, int state) {
  int& along = along_x ? Fl::e_x : Fl::e_y;
  (along_x ? Fl::e_y : Fl::e_x) = -1000;
  along = (along_x ? widget->x() : widget->y()) + offset;
  Fl::e_state = state;
  bool taken = widget->handle(FL_PUSH) == 1;
  for (int move : moves) {
    along += move;
    taken = widget->handle(FL_DRAG) == 1 && taken;
  }
  Fl::e_state = 0;
  return taken;
}

void press_enter(Fl_Window* window) {
  static char text[] = "\r";
  Fl::e_keysym = FL_Enter;
  Fl::e_state = 0;
  Fl::e_text = text;
  Fl::e_length = 1;
  Fl::handle(FL_KEYBOARD, window);
}

void show_for_drawing(Fl_Window& window) {
  window.end();
  window.show();
  while (!window.shown()) Fl::wait(0.1);
  window.make_current();
}

std::vector<unsigned char> drawn_offscreen(int width, int height, const std::function<void()>& draw) {
  Fl_Offscreen area = fl_create_offscreen(width, height);
  fl_begin_offscreen(area);
  fl_color(BACKDROP[0], BACKDROP[1], BACKDROP[2]);
  fl_rectf(0, 0, width, height);
  draw();
  std::vector<unsigned char> pixels(size_t(width) * size_t(height) * 3);
  fl_read_image(pixels.data(), 0, 0, width, height);
  fl_end_offscreen();
  fl_delete_offscreen(area);
  return pixels;
}
