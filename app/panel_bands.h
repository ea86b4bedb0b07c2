// Places one data panel per stream found in the main window's three horizontal bands, and removes
// them again. Used by viewer_main between loading the file and showing the window.
#pragma once

#include "views/panel_table.h"

// Called while the main window is the current group.
void fill_panel_bands(PanelCursors& cursors);

// Called after the event loop and before the main window is destroyed.
void delete_panels();
