// The viewer's panels painted into an RGB image by the views and the pixel canvas the viewer draws
// with, stacked top to bottom as the viewer stacks them. Used by sdif-render; opens no display.
#pragma once

#include <optional>
#include <vector>

struct SdifStreamCursor;

// The panels, in the viewer's order from top to bottom.
enum class PanelKind { Pitch, Sinusoids, Residual };
constexpr PanelKind PANEL_KINDS[] = {PanelKind::Pitch, PanelKind::Sinusoids, PanelKind::Residual};

// The panel's title, as the viewer shows it, and the frame type of its stream.
const char* panel_title(PanelKind kind);
const char* panel_frame_type(PanelKind kind);

// What a panel's controls hold: the two sliders' fractions, the cube toggle and the contrast slider.
// The defaults are the panel's on opening; no contrast means the view's own starting contrast.
struct ViewControls {
  float time_position = 0.0f;
  float time_size = 1.0f;
  float vertical_position = 0.0f;
  float vertical_share = 1.0f;  // the vertical knob's share, cubed into the view's size by the toggle
  bool cube = false;
  std::optional<float> contrast;
};

struct PanelPicture {
  PanelKind kind;
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
