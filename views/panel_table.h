// The three panels of the viewer, one entry each in band order from the top: the panel's title, the
// frames it follows, the view that draws them, the matrix that view reads, its vertical range and
// starting contrast. The one home of these facts: the viewer, sdif-info and sdif-render read them here.
#pragma once

#include <optional>
#include <vector>

#include "sdif/sdif_document.h"

// Selects the view a panel builds.
enum ViewKind { VIEW_RESIDUAL = 1, VIEW_TRACKS = 2, VIEW_PITCH = 3 };

struct PanelSpec {
  ViewKind kind;
  const char* title;
  // The 4 bytes of the frame type whose first stream the panel shows.
  const char* frame_type;
  // Which matrix of each frame the view reads: 0 the first, 1 the second.
  int matrix;
  // The value at the top of the view while it shows the whole vertical range; 0 where that range is
  // the row count of the first frame's matrix (the residual view's bins).
  double full_range;
  // Of the vertical range, for people: empty for the pitch view's plain values.
  const char* unit;
  float contrast;
};

constexpr int PANEL_COUNT = 3;
// In band order: pitch, sinusoids, residual.
extern const PanelSpec PANELS[PANEL_COUNT];

// The entry of a view kind; null for a number that is none.
const PanelSpec* panel_of(int kind);
// The same for a kind known to be valid.
const PanelSpec& panel_spec(ViewKind kind);

// The matrix of `frame` that the panel's view reads, or null when the frame has too few.
const SdifMatrix* panel_matrix(const PanelSpec& panel, const SdifFrame& frame);

// A cursor for each panel over a loaded document, in band order. They are built from the bottom band
// up, as the viewer always has: where frames of two panels share a stream ID, each cursor links that
// stream again from its own first frame, so the order decides the links.
class PanelCursors {
 public:
  explicit PanelCursors(SdifFrame* frames);
  SdifStreamCursor& operator[](int band) { return *cursors[band]; }
  // Whether any panel has a frame to show.
  bool any() const;
  // Makes the panel of `band` follow stream `id` from its first frame of the panel's type; false, and
  // the cursor left as it was, when the stream has none.
  bool follow(int band, int32_t id);

 private:
  SdifFrame* frames;
  std::optional<SdifStreamCursor> cursors[PANEL_COUNT];
};

// A stream holding frames of a type, with the frames that a cursor on it walks: every frame with its
// ID from the first of the type on.
struct StreamOfType {
  int32_t id;
  long frames;
};

// The streams holding frames of `type`, in the order of their first such frame.
std::vector<StreamOfType> streams_of_type(SdifFrame* frames, const char* type);

// The first frame of `type` in stream `id`, or null.
SdifFrame* first_frame_of(SdifFrame* frames, const char* type, int32_t id);

// The whole vertical range of the panel's view over the cursor's stream, in the panel's units: the
// fixed range, or the rows of the first frame's matrix (0 for an empty stream or a missing matrix).
double full_vertical_range(const PanelSpec& panel, const SdifStreamCursor& cursor);
