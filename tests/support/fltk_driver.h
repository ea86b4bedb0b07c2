// Drives modal FLTK loops from inside a test: queued steps run from toolkit timeouts while the code
// under test waits for events. Used by the dialog and start-up tests (they need a display).
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
// An Enter key press delivered to `window` as the toolkit delivers keyboard events.
void press_enter(Fl_Window* window);
