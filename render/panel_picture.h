// The viewer's panels painted into an RGB image by the views and the pixel canvas the viewer draws
// with, stacked top to bottom as the viewer stacks them. Used by sdif-render; opens no display.
#pragma once

#include <vector>

#include "views/panel_table.h"
#include "views/view_controls.h"

struct PanelPicture {
  const PanelSpec* panel;
  SdifStreamCursor* cursor;
  ViewControls controls;
  int height;
};

// Rows of the viewer's gray between two stacked panels.
constexpr int SEPARATOR_ROWS = 2;

// 8-bit red, green and blue, row after row from the top.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
};

// The panels' views, `width` pixels wide and each as high as its `height`, one under the other with
// a separator between neighbours.
RgbImage paint_panels(const std::vector<PanelPicture>& panels, int width);
