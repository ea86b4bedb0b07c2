// Builds each panel's view outside any window, sets it through the panel's controls, and copies the
// pixel canvas's picture into the stacked image. Used by sdif-render's pictures and thumbnails.
#include "render/panel_picture.h"

#include <FL/Enumerations.H>

#include <algorithm>
#include <cstring>
#include <memory>

#include "views/pixel_canvas.h"
#include "views/view_factory.h"

namespace {

constexpr int RGB = 3;

unsigned char* at(RgbImage& image, int x, int y) {
  return &image.rgb[(size_t(y) * size_t(image.width) + size_t(x)) * RGB];
}

// The view is made with no current group, so it belongs to no window and its painting needs no display.
void paint_view(const PanelPicture& panel, int width, RgbImage& image, int top) {
  std::unique_ptr<SdifView> view(make_view(panel.panel->kind, 0, 0, width, panel.height, panel.cursor));
  apply_controls(panel.controls, *view);
  std::vector<uint32_t> storage;
  PixelCanvas canvas(0, 0, width, panel.height, storage);
  view->paint_pixels(canvas);
  for (int y = 0; y < panel.height; ++y)
    for (int x = 0; x < width; ++x) std::copy_n(canvas.pixel(x, y), RGB, at(image, x, top + y));
}

}  // namespace

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
    paint_view(panel, width, image, top);
    top += panel.height;
  }
  return image;
}
