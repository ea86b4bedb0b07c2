// A 5 x 7 pixel font for the small labels that the views draw into their pictures (the grid's), drawn
// pixel row by pixel row through the canvas, so that the viewer and sdif-render, which has no display
// and no toolkit fonts, paint the same labels.
#pragma once

#include <cstdint>

// Pixels of a glyph, and of the step from one glyph to the next.
constexpr int GLYPH_WIDTH = 5;
constexpr int GLYPH_HEIGHT = 7;
constexpr int GLYPH_ADVANCE = GLYPH_WIDTH + 1;

// The glyph of a character: GLYPH_HEIGHT rows from the top, the leftmost pixel in the highest of
// GLYPH_WIDTH bits. Characters the font lacks are blank.
const uint8_t* glyph(char c);

// The width in pixels of a label.
int label_width(const char* text);

// Draws `text` in the canvas's current colour with its top left pixel at (x, y).
template <class Canvas>
void draw_label(Canvas& canvas, int x, int y, const char* text) {
  for (; *text; ++text, x += GLYPH_ADVANCE) {
    const uint8_t* rows = glyph(*text);
    for (int row = 0; row < GLYPH_HEIGHT; ++row) {
      // Runs of lit pixels become one rectangle each.
      for (int column = 0; column < GLYPH_WIDTH;) {
        if (!(rows[row] >> (GLYPH_WIDTH - 1 - column) & 1)) {
          ++column;
          continue;
        }
        int end = column;
        while (end < GLYPH_WIDTH && (rows[row] >> (GLYPH_WIDTH - 1 - end) & 1)) ++end;
        canvas.rectf(x + column, y + row, end - column, 1);
        column = end;
      }
    }
  }
}
