// Fills the main window's three bands with one data panel per stream that has frames, in the order
// Pitch, Sinusoids, Residual, and deletes them again before the window goes.
#include "app/panel_bands.h"

#include <new>

#include "app/data_panel.h"
#include "sdif/sdif_document.h"

namespace {

// The three bands stacked from the top fill the main window.
constexpr int BAND_WIDTH = 450;
constexpr int BAND_HEIGHT = 150;

}  // namespace

void fill_panel_bands(SdifStreamCursor* pitch, SdifStreamCursor* sinusoids, SdifStreamCursor* residual) {
  pitch_panel = sinusoids_panel = residual_panel = nullptr;
  if (pitch->last)
    pitch_panel = new (std::nothrow) DataPanel(0, 0, BAND_WIDTH, BAND_HEIGHT, "Pitch", VIEW_PITCH, pitch);
  if (sinusoids->last)
    sinusoids_panel =
        new (std::nothrow) DataPanel(0, BAND_HEIGHT, BAND_WIDTH, BAND_HEIGHT, "Sinusoids", VIEW_TRACKS, sinusoids);
  if (residual->last)
    residual_panel =
        new (std::nothrow) DataPanel(0, 2 * BAND_HEIGHT, BAND_WIDTH, BAND_HEIGHT, "Residual", VIEW_RESIDUAL, residual);
  for (DataPanel* panel : {pitch_panel, sinusoids_panel, residual_panel})
    if (panel) panel->callback(sync_time_sliders);
}

void delete_panels() {
  // A deleted widget leaves its group, so the window's own destruction meets no deleted panel; the
  // pointers are cleared so that nothing reaches one through them either.
  for (DataPanel** panel : {&pitch_panel, &sinusoids_panel, &residual_panel}) {
    delete *panel;
    *panel = nullptr;
  }
}
