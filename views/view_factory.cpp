// The view classes by kind.
#include "views/view_factory.h"

#include "views/panel_table.h"
#include "views/pitch_view.h"
#include "views/residual_view.h"
#include "views/track_view.h"

SdifView* make_view(int kind, int x, int y, int w, int h, SdifStreamCursor* cursor) {
  switch (kind) {
    case VIEW_RESIDUAL: return new ResidualView(x, y, w, h, cursor);
    case VIEW_TRACKS: return new TrackView(x, y, w, h, cursor);
    case VIEW_PITCH: return new PitchView(x, y, w, h, cursor);
    default: return new SdifView(x, y, w, h, cursor);
  }
}
