// Places one data panel per stream found in the main window's three horizontal bands, and removes
// them again. Used by viewer_main between loading the file and showing the window.
#pragma once

#include "views/panel_table.h"

class Fl_Window;

// Called while the main window is the current group.
void fill_panel_bands(PanelCursors& cursors);

// Called after the event loop and before the main window is destroyed.
void delete_panels();

// The toolkit's event dispatch with one change, installed while the panels exist: a key goes first to
// the panel under the pointer, so that the arrows move its picture rather than the keyboard focus or a
// focused contrast slider. Keys a panel does not take go on as usual.
int dispatch_keys_to_panels(int event, Fl_Window* window);
