// The panel table and its lookups. Holds no toolkit code, so that sdif-info can read it.
#include "views/panel_table.h"

#include <algorithm>
#include <unordered_map>

#include "sdif/sdif_document.h"
#include "sdif/sdif_standard_types.h"

// The contrasts are the floats nearest the values given.
const PanelSpec PANELS[PANEL_COUNT] = {
    {VIEW_PITCH, "Pitch", SDIF_FUNDAMENTAL_TYPE, 0, 1000.0, "", 0.5f},
    {VIEW_TRACKS, "Sinusoids", SDIF_TRACKS_TYPE, 0, 22050.0, "Hz", 0.3f},
    {VIEW_RESIDUAL, "Residual", SDIF_SPECTRUM_TYPE, 1, 0.0, "bins", 0.5f},
};

const PanelSpec* panel_of(int kind) {
  for (const PanelSpec& panel : PANELS)
    if (panel.kind == kind) return &panel;
  return nullptr;
}

const PanelSpec& panel_spec(ViewKind kind) { return *panel_of(kind); }

const SdifMatrix* panel_matrix(const PanelSpec& panel, const SdifFrame& frame) {
  const SdifMatrix* matrix = frame.matrices;
  for (int i = 0; i < panel.matrix && matrix; ++i) matrix = matrix->next;
  return matrix;
}

PanelCursors::PanelCursors(SdifFrame* frames) : frames(frames) {
  for (int band = PANEL_COUNT - 1; band >= 0; --band) cursors[band].emplace(frames, PANELS[band].frame_type);
}

bool PanelCursors::any() const {
  for (const auto& cursor : cursors)
    if (cursor->last) return true;
  return false;
}

bool PanelCursors::follow(int band, int32_t id) {
  SdifFrame* start = first_frame_of(frames, PANELS[band].frame_type, id);
  if (start) cursors[band]->link_stream(start);
  return start != nullptr;
}

std::vector<StreamOfType> streams_of_type(SdifFrame* frames, const char* type) {
  std::vector<StreamOfType> streams;
  std::unordered_map<int32_t, size_t> started;
  for (const SdifFrame* frame = frames; frame; frame = frame->next) {
    auto found = started.find(frame->stream_id);
    if (found != started.end()) {
      streams[found->second].frames++;
    } else if (SDIF_SameType(frame->type, type)) {
      started.emplace(frame->stream_id, streams.size());
      streams.push_back({frame->stream_id, 1});
    }
  }
  return streams;
}

SdifFrame* first_frame_of(SdifFrame* frames, const char* type, int32_t id) {
  for (SdifFrame* frame = frames; frame; frame = frame->next)
    if (frame->stream_id == id && SDIF_SameType(frame->type, type)) return frame;
  return nullptr;
}

double full_vertical_range(const PanelSpec& panel, const SdifStreamCursor& cursor) {
  if (panel.full_range > 0.0) return panel.full_range;
  const SdifMatrix* matrix = cursor.first ? panel_matrix(panel, *cursor.first) : nullptr;
  return matrix ? std::max(matrix->rows, 0) : 0;
}
