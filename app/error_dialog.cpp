// Builds, runs and deletes the modal error dialog: an icon, the message and an OK button that also
// answers the Enter key. The dialog runs its own wait loop because the main window is not shown yet.
#include "app/error_dialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <cstring>

void error_ok_cb(Fl_Widget* widget, void*) { widget->window()->hide(); }

void show_error(const char* message) {
  int width = std::max(300, 8 * int(std::strlen(message)));
  Fl_Window* dialog = new Fl_Window(width, 80, "Ondavue Error");
  dialog->set_modal();

  Fl_Box* icon = new Fl_Box(5, 5, 40, 40, "!");
  icon->box(FL_THIN_UP_BOX);
  icon->color(FL_WHITE);
  icon->labelfont(FL_TIMES_BOLD);
  icon->labelsize(24);
  icon->labelcolor(FL_BLUE);

  Fl_Box* text = new Fl_Box(50, 5, 245, 40, message);
  text->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);

  Fl_Return_Button* ok = new Fl_Return_Button(220, 50, 75, 25, "OK");
  ok->callback(error_ok_cb);

  dialog->end();
  dialog->show();
  while (dialog->visible()) Fl::wait();
  delete dialog;
}
