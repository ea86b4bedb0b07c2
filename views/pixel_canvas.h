// A view's picture drawn in memory with the same semantics as the toolkit's drawing calls, then put
// on screen in one image transfer. Every view's draw() goes through it.
#pragma once

#include <FL/Enumerations.H>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

class PixelCanvas {
 public:
  // Entries of the toolkit's colour map; other colours are RGB values.
  static constexpr unsigned COLOR_MAP_SIZE = 256;

  // A picture of the rectangle (x, y, w, h) in window coordinates, kept in `storage` one pixel per
  // element: red, green and blue bytes and one unused. The storage is resized to fit and may be
  // reused by the next canvas; storage far larger than the picture gives its memory back.
  PixelCanvas(int x, int y, int w, int h, std::vector<uint32_t>& storage);

  // The same operations as fl_color, fl_rectf, fl_push_clip, fl_pop_clip and fl_yxline, with the
  // colours of the toolkit's colour map as it is when the canvas is made. Clipping nests one level
  // deep, which is all a view needs.
  inline void color(Fl_Color c);
  void rectf(int x, int y, int w, int h);
  void push_clip(int x, int y, int w, int h);
  void pop_clip();
  inline void yxline(int x, int y, int y1);

  // The red, green and blue of pixel (x, y), in window coordinates inside the picture.
  const unsigned char* pixel(int x, int y) const;
  // Draws the picture at its place in the current window.
  void show() const;

 private:
  struct Area {
    int left, top, right, bottom;  // right and bottom are excluded
  };

  // Pixels are stored row after row, as the image transfer reads them. Vertical lines step through
  // rows, but the views' lines are short, and the rows a column touches stay in the cache.
  uint32_t* at(int x, int y) const {
    return pixels + static_cast<size_t>(y - picture.top) * row_pixels + static_cast<size_t>(x - picture.left);
  }

  Area picture;
  Area clip;
  Area saved_clip;
  size_t row_pixels;
  uint32_t* pixels;
  uint32_t current = 0;
  // The colour map's entries as pixels, looked up once instead of at every colour change.
  uint32_t palette[COLOR_MAP_SIZE];
};

// Storage shared by every view's draw(): the views draw one at a time on the GUI thread, and sharing
// it means that no redraw allocates once the largest view has been drawn, until the window shrinks.
std::vector<uint32_t>& shared_picture_storage();

// What every view's draw() does: the view paints itself into a canvas over the shared storage, and
// the canvas goes on screen; with a measuring line over it, the view keeps the picture and draws the
// line. Where only the line moved, the view draws its kept picture and the line instead of painting.
template <class View>
void draw_through_canvas(View& view) {
  if (view.draw_line_only()) return;
  PixelCanvas canvas(view.x(), view.y(), view.w(), view.h(), shared_picture_storage());
  view.paint(canvas);
  canvas.show();
  view.keep_under_line(canvas);
}

// The pixel of a colour in the layout above.
uint32_t pixel_of(Fl_Color c);

void PixelCanvas::color(Fl_Color c) {
  if (c < COLOR_MAP_SIZE) {
    current = palette[c];
    return;
  }
  // An RGB colour holds red, green and blue in its three high bytes, as the toolkit reads them; in line
  // here, since the colour maps other than the ramp set one for every point they paint.
  const unsigned char bytes[4] = {static_cast<unsigned char>(c >> 24), static_cast<unsigned char>(c >> 16),
                                  static_cast<unsigned char>(c >> 8), 0};
  std::memcpy(&current, bytes, sizeof current);
}

void PixelCanvas::yxline(int x, int y, int y1) {
  if (x < clip.left || x >= clip.right) return;
  if (y1 < y) std::swap(y, y1);
  y = std::max(y, clip.top);
  y1 = std::min(y1, clip.bottom - 1);
  if (y > y1) return;
  // A local copy: the pixels are unsigned ints, so a store to them could alias the member.
  uint32_t colour = current;
  uint32_t* pixel = at(x, y);
  for (int row = y; row <= y1; ++row, pixel += row_pixels) *pixel = colour;
}
