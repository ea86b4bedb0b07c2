// Draws into an RGB buffer exactly what the toolkit's calls would draw on a true-colour display.
// Used by the views' draw() and by the tests that read pictures back without a display.
#include "views/pixel_canvas.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <cstring>

namespace {

// Storage that holds more than this many times what a picture needs gives the rest back: the window
// has shrunk. Below it the storage is kept, so that views of somewhat different sizes drawing one
// after the other do not allocate at every redraw.
constexpr size_t SHRINK_FACTOR = 4;

}  // namespace

PixelCanvas::PixelCanvas(int x, int y, int w, int h, std::vector<uint32_t>& storage)
    : picture{x, y, x + std::max(w, 0), y + std::max(h, 0)},
      clip(picture),
      saved_clip(picture),
      row_pixels(static_cast<size_t>(picture.right - x)) {
  size_t needed = static_cast<size_t>(picture.bottom - y) * row_pixels;
  if (needed > 0 && needed < storage.capacity() / SHRINK_FACTOR) std::vector<uint32_t>().swap(storage);
  storage.resize(needed);
  pixels = storage.data();
  for (unsigned i = 0; i < COLOR_MAP_SIZE; ++i) palette[i] = pixel_of(i);
}

uint32_t pixel_of(Fl_Color c) {
  unsigned char bytes[4] = {0, 0, 0, 0};
  Fl::get_color(c, bytes[0], bytes[1], bytes[2]);
  uint32_t pixel;
  std::memcpy(&pixel, bytes, sizeof pixel);
  return pixel;
}

void PixelCanvas::rectf(int x, int y, int w, int h) {
  int left = std::max(x, clip.left), right = std::min(x + w, clip.right);
  int top = std::max(y, clip.top), bottom = std::min(y + h, clip.bottom);
  if (left >= right) return;
  for (int row = top; row < bottom; ++row) std::fill(at(left, row), at(right, row), current);
}

void PixelCanvas::push_clip(int x, int y, int w, int h) {
  saved_clip = clip;
  clip = {std::max(x, clip.left), std::max(y, clip.top), std::min(x + w, clip.right), std::min(y + h, clip.bottom)};
}

void PixelCanvas::pop_clip() { clip = saved_clip; }

const unsigned char* PixelCanvas::pixel(int x, int y) const {
  return reinterpret_cast<const unsigned char*>(at(x, y));
}

void PixelCanvas::show() const {
  int w = picture.right - picture.left, h = picture.bottom - picture.top;
  // The toolkit reads the first three bytes of each pixel.
  if (w > 0 && h > 0)
    fl_draw_image(reinterpret_cast<const unsigned char*>(pixels), picture.left, picture.top, w, h, sizeof(uint32_t));
}

std::vector<uint32_t>& shared_picture_storage() {
  static std::vector<uint32_t> storage;
  return storage;
}
