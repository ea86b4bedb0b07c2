// The modal message dialog through which start-up reports why the viewer cannot open a file.
// Used by viewer_main on its early exits; nothing else shows messages.
#pragma once

class Fl_Widget;

// Shows `message` (kept, not copied, while the dialog is open) and returns once it is dismissed.
void show_error(const char* message);

// OK button callback: hides the dialog that holds the button.
void error_ok_cb(Fl_Widget* widget, void* data);
