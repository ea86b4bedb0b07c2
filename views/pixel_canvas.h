// A view's picture drawn in memory with the same semantics as the toolkit calls of ToolkitCanvas, then
// put on screen in one image transfer. Every view's draw() goes through it.
#pragma once

#include <FL/Enumerations.H>

#include <vector>

class PixelCanvas {
 public:
  // A picture of the rectangle (x, y, w, h) in window coordinates, kept in `storage` as RGB pixels,
  // row after row. The storage is resized to fit and may be reused by the next canvas.
  PixelCanvas(int x, int y, int w, int h, std::vector<unsigned char>& storage);

  // The same operations as fl_color, fl_rectf, fl_push_clip, fl_pop_clip and fl_yxline, with the
  // colours of the toolkit's colour map. Clipping nests one level deep, which is all a view needs.
  void color(Fl_Color c);
  void rectf(int x, int y, int w, int h);
  void push_clip(int x, int y, int w, int h);
  void pop_clip();
  void yxline(int x, int y, int y1);

  // The red, green and blue of pixel (x, y), in window coordinates inside the picture.
  const unsigned char* pixel(int x, int y) const;
  // Draws the picture at its place in the current window.
  void show() const;

 private:
  struct Area {
    int left, top, right, bottom;  // right and bottom are excluded
  };

  Area picture;
  Area clip;
  Area saved_clip;
  unsigned char* pixels;
  unsigned char red = 0, green = 0, blue = 0;
};

// Storage shared by every view's draw(): the views draw one at a time on the GUI thread, and sharing
// it means that no redraw allocates once the largest view has been drawn.
std::vector<unsigned char>& shared_picture_storage();
