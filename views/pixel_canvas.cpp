// Draws into an RGB buffer exactly what the toolkit's calls would draw on a true-colour display.
// Used by the views' draw() and by the tests that read pictures back without a display.
#include "views/pixel_canvas.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>

namespace {

constexpr size_t CHANNELS = 3;

}  // namespace

PixelCanvas::PixelCanvas(int x, int y, int w, int h, std::vector<unsigned char>& storage)
    : picture{x, y, x + std::max(w, 0), y + std::max(h, 0)}, clip(picture), saved_clip(picture) {
  storage.resize(static_cast<size_t>(picture.right - x) * static_cast<size_t>(picture.bottom - y) * CHANNELS);
  pixels = storage.data();
}

void PixelCanvas::color(Fl_Color c) {
  Fl::get_color(c, red, green, blue);
}

void PixelCanvas::rectf(int x, int y, int w, int h) {
  int left = std::max(x, clip.left), right = std::min(x + w, clip.right);
  int top = std::max(y, clip.top), bottom = std::min(y + h, clip.bottom);
  if (left >= right || top >= bottom) return;
  for (int row = top; row < bottom; ++row) {
    unsigned char* p = pixels + ((static_cast<size_t>(row - picture.top) * (picture.right - picture.left)) +
                                 (left - picture.left)) * CHANNELS;
    for (int column = left; column < right; ++column, p += CHANNELS) {
      p[0] = red;
      p[1] = green;
      p[2] = blue;
    }
  }
}

void PixelCanvas::push_clip(int x, int y, int w, int h) {
  saved_clip = clip;
  clip = {std::max(x, clip.left), std::max(y, clip.top), std::min(x + w, clip.right), std::min(y + h, clip.bottom)};
}

void PixelCanvas::pop_clip() { clip = saved_clip; }

void PixelCanvas::yxline(int x, int y, int y1) {
  if (x < clip.left || x >= clip.right) return;
  if (y1 < y) std::swap(y, y1);
  y = std::max(y, clip.top);
  y1 = std::min(y1, clip.bottom - 1);
  if (y > y1) return;
  size_t stride = static_cast<size_t>(picture.right - picture.left) * CHANNELS;
  unsigned char* p = pixels + static_cast<size_t>(y - picture.top) * stride + (x - picture.left) * CHANNELS;
  for (int row = y; row <= y1; ++row, p += stride) {
    p[0] = red;
    p[1] = green;
    p[2] = blue;
  }
}

const unsigned char* PixelCanvas::pixel(int x, int y) const {
  return pixels + (static_cast<size_t>(y - picture.top) * (picture.right - picture.left) + (x - picture.left)) * CHANNELS;
}

void PixelCanvas::show() const {
  int w = picture.right - picture.left, h = picture.bottom - picture.top;
  if (w > 0 && h > 0) fl_draw_image(pixels, picture.left, picture.top, w, h, CHANNELS, 0);
}

std::vector<unsigned char>& shared_picture_storage() {
  static std::vector<unsigned char> storage;
  return storage;
}
