// The command line of sdif-render: what to paint from which files, and where to. Parsed by
// parse_render_options, which tests call directly; main only hands it argv.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "render/panel_ranges.h"

// Each view's size when none is given: the view area of a panel in the viewer's window as it opens.
constexpr int DEFAULT_VIEW_WIDTH = 430;
constexpr int DEFAULT_VIEW_HEIGHT = 110;
// The largest width and height accepted for a view or a thumbnail, which keeps a picture's memory
// within a few hundred megabytes.
constexpr int MAX_SIDE = 8192;
// The smallest thumbnail, in which three panels and their separators still each get a few rows.
constexpr int MIN_THUMBNAIL = 16;

struct RenderOptions {
  std::vector<std::string> files;
  std::optional<std::string> output;  // -o: a PNG file, or a folder for several
  const PanelSpec* view = nullptr;    // none: every panel the file has
  int width = DEFAULT_VIEW_WIDTH;
  int height = DEFAULT_VIEW_HEIGHT;
  bool size_given = false;
  ViewRequest ranges;
  std::optional<int32_t> stream;  // --stream: only the panels with frames of their type in it, showing it
  int thumbnail = 0;  // the thumbnail's bound in pixels; 0 when making pictures
};

struct ParsedCommandLine {
  enum Action { RENDER, HELP, VERSION, USAGE_ERROR } action = RENDER;
  RenderOptions options;
  std::string error;                  // for USAGE_ERROR: one line, without the program's name
  std::vector<std::string> warnings;  // values limited to what they can be
};

ParsedCommandLine parse_render_options(int argc, char** argv);

// The text of --help.
extern const char* const RENDER_USAGE;
