// Fills the main window's three bands with one data panel per stream that has frames, in the panel
// table's order, and deletes them again before the window goes.
#include "app/panel_bands.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <new>

#include "app/data_panel.h"

namespace {

// The three bands stacked from the top fill the main window.
constexpr int BAND_WIDTH = 450;
constexpr int BAND_HEIGHT = 150;

// Each band's process-wide pointer, in the table's band order.
DataPanel** const BAND_PANELS[PANEL_COUNT] = {&pitch_panel, &sinusoids_panel, &residual_panel};

}  // namespace

void fill_panel_bands(PanelCursors& cursors) {
  for (DataPanel** panel : BAND_PANELS) *panel = nullptr;
  for (int band = 0; band < PANEL_COUNT; ++band) {
    const PanelSpec& spec = PANELS[band];
    if (cursors[band].last)
      *BAND_PANELS[band] = new (std::nothrow)
          DataPanel(0, band * BAND_HEIGHT, BAND_WIDTH, BAND_HEIGHT, spec.title, spec.kind, &cursors[band]);
  }
  for (DataPanel** panel : BAND_PANELS)
    if (*panel) (*panel)->callback(sync_time_sliders);
}

void delete_panels() {
  // A deleted widget leaves its group, so the window's own destruction meets no deleted panel; the
  // pointers are cleared so that nothing reaches one through them either.
  for (DataPanel** panel : BAND_PANELS) {
    delete *panel;
    *panel = nullptr;
  }
}

int dispatch_keys_to_panels(int event, Fl_Window* window) {
  if (event == FL_KEYBOARD)
    for (DataPanel** panel : BAND_PANELS)
      if (*panel && (*panel)->window() == window && Fl::event_inside(*panel) && (*panel)->take_key()) return 1;
  return Fl::handle_(event, window);
}
