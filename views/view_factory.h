// Builds the view of a panel kind. Used by the data panel, whose group then owns the view, and by
// sdif-render, which paints views outside any window.
#pragma once

#include "views/sdif_view.h"

// The view for `kind` (a ViewKind) at (x, y, w, h) over `cursor`, joining the toolkit's current group
// if there is one. A number that is no ViewKind gets a blank view, which draws nothing.
SdifView* make_view(int kind, int x, int y, int w, int h, SdifStreamCursor* cursor);
