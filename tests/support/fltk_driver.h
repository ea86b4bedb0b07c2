// Drives FLTK from inside a test: events through the toolkit's public event state, and queued steps
// that run from toolkit timeouts while modal loops wait, and offscreen drawing read back. Used by the
// dialog, start-up, panel and drawing tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

class Fl_Widget;
class Fl_Window;

// Runs `step` once the toolkit is idle inside whatever loop is waiting; steps run in order. If the
// loop is still running after `give_up_seconds`, every window is hidden so that the test fails
// instead of hanging.
void when_idle(std::function<void()> step, double give_up_seconds = 10.0);

// Windows currently shown, first the most recently shown.
std::vector<Fl_Window*> shown_windows();
// The shown window with this title, or null.
Fl_Window* shown_window(const std::string& title);

// A press and release of the left button in the middle of `widget`, as the toolkit delivers them.
void click(Fl_Widget* widget);
// A press at `offset` pixels from the widget's left edge (along x) or top edge (along y), then one drag
// per entry of `moves`, each moving the pointer on by that many pixels, with the modifier keys `state`
// held, sent to the widget itself as the toolkit sends them to the pushed widget. The other coordinate
// lies far outside the widget, which a slider must not mind. True when every event was taken.
bool press_and_drag(Fl_Widget* widget, bool along_x, int offset, const std::vector<int>& moves, int state = 0);
// An Enter key press delivered to `window` as the toolkit delivers keyboard events.
void press_enter(Fl_Window* window);

// Shows `window` and makes it current, so that offscreen areas can be drawn and read back.
void show_for_drawing(Fl_Window& window);
// The colour an offscreen area is painted before drawing: no view or slider uses it.
constexpr unsigned char BACKDROP[3] = {20, 200, 220};
// What `draw` leaves in a `width` x `height` offscreen area first painted BACKDROP, read back as RGB
// rows from the top.
std::vector<unsigned char> drawn_offscreen(int width, int height, const std::function<void()>& draw);
