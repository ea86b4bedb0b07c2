// The grid a view can draw over its picture: time lines at round steps (1, 2 or 5 times a power of ten
// seconds) and value lines at round frequencies, notes or bins, each with a small label, spaced so
// that no two labels meet. Drawn through the canvas with the picture, so that the viewer and
// sdif-render draw the same grid; chosen per panel, off by default.
#pragma once

#include <FL/Enumerations.H>

#include <functional>
#include <string>
#include <vector>

#include "views/label_font.h"

// A line across the view: its column from the view's left edge (a time line) or its height in pixels
// above the bottom edge (a value line), and its label.
struct GridLine {
  double at;
  std::string label;
};

// The time lines of columns `width` wide from time `left`, `step` seconds apart.
std::vector<GridLine> time_grid(double left, double step, int width);

// What the value lines mark: round values on a linear or a logarithmic axis, or notes.
enum class GridValues { Linear, Logarithmic, Notes };

// The value lines of an axis `height` pixels high from `low` at its bottom to `high` at its top, which
// `up` maps to heights; labelled as hertz, or as bins where `bins`.
std::vector<GridLine> value_grid(GridValues kind, double low, double high, int height,
                                 const std::function<double(double)>& up, bool bins);

// The colours of the lines and the labels; the labels stand on black, so that they read over any
// picture.
const Fl_Color GRID_LINE_COLOR = 0x60606000;
const Fl_Color GRID_LABEL_COLOR = 0xE0E0E000;

// Draws the lines, then their labels: the time labels along the bottom, the value labels along the
// left edge, a time label that would meet a value label left out, and so is a value label that would
// stand above the view.
template <class Canvas>
void paint_grid(Canvas& canvas, int x, int y, int w, int h, const std::vector<GridLine>& times,
                const std::vector<GridLine>& values) {
  struct Box {
    int x, y, w, h;
    bool meets(const Box& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
  };
  canvas.push_clip(x, y, w, h);
  canvas.color(GRID_LINE_COLOR);
  for (const GridLine& line : times) canvas.yxline(x + int(line.at), y, y + h - 1);
  for (const GridLine& line : values) canvas.rectf(x, y + h - 1 - int(line.at), w, 1);
  std::vector<Box> boxes;
  auto label = [&](int left, int top, const std::string& text) {
    Box box{left - 1, top - 1, label_width(text.c_str()) + 2, GLYPH_HEIGHT + 2};
    canvas.color(FL_BLACK);
    canvas.rectf(box.x, box.y, box.w, box.h);
    canvas.color(GRID_LABEL_COLOR);
    draw_label(canvas, left, top, text.c_str());
    boxes.push_back(box);
  };
  // A value label stands on its line, so a line at the very top has none.
  for (const GridLine& line : values) {
    int top = y + h - 1 - int(line.at) - GLYPH_HEIGHT - 1;
    if (top > y) label(x + 2, top, line.label);
  }
  const size_t value_boxes = boxes.size();
  for (const GridLine& line : times) {
    Box box{x + int(line.at) + 1, y + h - GLYPH_HEIGHT - 3, label_width(line.label.c_str()) + 2, GLYPH_HEIGHT + 2};
    bool free = true;
    for (size_t i = 0; i < value_boxes; ++i) free = free && !box.meets(boxes[i]);
    if (free) label(box.x + 1, box.y + 1, line.label);
  }
  canvas.pop_clip();
}
