// Reads back the PNG files sdif-render writes, for the tests that check their pixels and sizes.
#pragma once

#include <string>

#include "render/panel_picture.h"

// The file's pixels as 8-bit RGB; an image of size 0 when it is no readable PNG.
RgbImage read_png(const std::string& path);
