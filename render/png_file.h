// 8-bit RGB PNG files through libpng. A file is written under a temporary name in its target folder
// and renamed into place once complete, so no half-written PNG ever carries the name. Used by
// sdif-render for pictures and thumbnails.
#pragma once

#include <cstdio>
#include <string>

#include "render/panel_picture.h"

// How the pixels are compressed: zlib's level and strategy, and the set of PNG row filters libpng
// may choose from (PNG_FILTER_NONE, PNG_FILTER_SUB, ...).
struct PngEncoding {
  int level;
  int strategy;
  int filters;
};

// The encoding sdif-render writes with: the pictures are mostly black with runs of one colour, which
// run-length matching at zlib's fastest level packs nearly as well as its default, in a fraction of
// the time; the left-neighbour filter turns a trace's colour runs across a row into zeros.
extern const PngEncoding FAST_ENCODING;

// Writes the image to an open file; empty on success, else the reason.
std::string encode_png(const RgbImage& image, FILE* file, const PngEncoding& encoding);

// Writes the image to `path` through a temporary file beside it, which is removed on failure and, if
// the program is interrupted or terminated meanwhile, by a signal handler. The file gets the usual
// permissions (0666 less the umask). Empty on success, else the reason.
std::string write_png(const RgbImage& image, const std::string& path);
