// The rules from controls to a view: fractions copied as they are, the vertical share cubed while the
// toggle is on, the contrast curve refilled when its contrast changes.
#include "views/view_controls.h"

#include "views/sdif_view.h"

void apply_controls(const ViewControls& controls, SdifView& view) {
  view.time_position = controls.time_position;
  view.time_size = controls.time_size;
  view.vertical_position = controls.vertical_position;
  // With the toggle on the view shows s cubed, so the first half of the slider's travel reaches down
  // to an eighth of the range. The factor is formed first and the products in double, then stored as
  // the view's float.
  double s = controls.vertical_share;
  double factor = controls.cube ? s * s : 1.0;
  view.vertical_size = float(factor * s);
  view.scale = controls.scale;
  view.grid = controls.grid;
  // Refilling costs 8192 powers and the colours thousands of entries, so only a change refills.
  ContrastCurve* curve = view.contrast_curve.get();
  if (!curve) return;
  bool recolor = controls.amplitude != view.amplitude_scale || controls.color_map != view.color_map;
  if (controls.contrast && curve->contrast != *controls.contrast) {
    curve->contrast = *controls.contrast;
    curve->fill();
    recolor = true;
  }
  view.amplitude_scale = controls.amplitude;
  view.color_map = controls.color_map;
  if (recolor) view.colors.set(view.amplitude_scale, view.color_map, *curve);
}
