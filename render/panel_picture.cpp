// Builds each panel's view outside any window, sets it as the panel's controls would, and copies the
// pixel canvas's picture into the stacked image. Used by sdif-render's pictures and thumbnails.
#include "render/panel_picture.h"

#include <FL/Enumerations.H>

#include <algorithm>
#include <cstring>

#include "views/pitch_view.h"
#include "views/pixel_canvas.h"
#include "views/residual_view.h"
#include "views/track_view.h"

namespace {

constexpr int RGB = 3;

unsigned char* at(RgbImage& image, int x, int y) {
  return &image.rgb[(size_t(y) * size_t(image.width) + size_t(x)) * RGB];
}

// The view is made with no current group, so it belongs to no window and its painting needs no display.
template <class View>
void paint_view(SdifStreamCursor* cursor, const ViewControls& controls, int width, int height, RgbImage& image,
                int top) {
  View view(0, 0, width, height, cursor);
  view.time_position = controls.time_position;
  view.time_size = controls.time_size;
  view.vertical_position = controls.vertical_position;
  // The same products as the panel's vertical slider: s cubed with the toggle on, formed in double.
  double s = controls.vertical_share;
  double factor = controls.cube ? s * s : 1.0;
  view.vertical_size = float(factor * s);
  if (controls.contrast) {
    view.contrast_curve->contrast = *controls.contrast;
    view.contrast_curve->fill();
  }
  std::vector<uint32_t> storage;
  PixelCanvas canvas(0, 0, width, height, storage);
  view.paint(canvas);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) std::copy_n(canvas.pixel(x, y), RGB, at(image, x, top + y));
}

}  // namespace

namespace {

// Indexed by PanelKind, in the viewer's order.
struct PanelNames {
  const char* title;
  const char* frame_type;
};
constexpr PanelNames PANEL_NAMES[] = {{"Pitch", "1FQ0"}, {"Sinusoids", "1TRC"}, {"Residual", "1STF"}};

}  // namespace

const char* panel_title(PanelKind kind) { return PANEL_NAMES[static_cast<int>(kind)].title; }

const char* panel_frame_type(PanelKind kind) { return PANEL_NAMES[static_cast<int>(kind)].frame_type; }

RgbImage paint_panels(const std::vector<PanelPicture>& panels, int width) {
  RgbImage image;
  image.width = width;
  for (const PanelPicture& panel : panels) image.height += panel.height;
  if (!panels.empty()) image.height += SEPARATOR_ROWS * int(panels.size() - 1);
  image.rgb.assign(size_t(image.width) * size_t(image.height) * RGB, 0);

  unsigned char gray[sizeof(uint32_t)];
  uint32_t gray_pixel = pixel_of(FL_GRAY);
  std::memcpy(gray, &gray_pixel, sizeof gray);
  int top = 0;
  for (const PanelPicture& panel : panels) {
    if (&panel != &panels.front()) {
      for (int y = top; y < top + SEPARATOR_ROWS; ++y)
        for (int x = 0; x < width; ++x) std::copy_n(gray, RGB, at(image, x, y));
      top += SEPARATOR_ROWS;
    }
    switch (panel.kind) {
      case PanelKind::Pitch:
        paint_view<PitchView>(panel.cursor, panel.controls, width, panel.height, image, top);
        break;
      case PanelKind::Sinusoids:
        paint_view<TrackView>(panel.cursor, panel.controls, width, panel.height, image, top);
        break;
      case PanelKind::Residual:
        paint_view<ResidualView>(panel.cursor, panel.controls, width, panel.height, image, top);
        break;
    }
    top += panel.height;
  }
  return image;
}
