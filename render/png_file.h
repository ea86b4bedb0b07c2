// 8-bit RGB PNG files through libpng, written as an OutputFile, so no half-written PNG ever carries
// the name. Used by sdif-render for pictures and thumbnails.
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

// Pictures are stored without compression: even zlib's fastest level takes longer than painting a
// spectrogram's noise floor (bench/render_bench.cpp), and a picture is written once to be used
// elsewhere. Thumbnails, small and kept by the thousand in file managers' caches, take zlib's fastest
// level, which packs the views' black and their runs of one colour well without row filters.
extern const PngEncoding PICTURE_ENCODING;
extern const PngEncoding THUMBNAIL_ENCODING;

// Writes the image to an open file; empty on success, else the reason.
std::string encode_png(const RgbImage& image, FILE* file, const PngEncoding& encoding);

// Writes the image to `path`, never over the file `input`. Empty on success, else the reason.
std::string write_png(const RgbImage& image, const std::string& path, const PngEncoding& encoding,
                      const std::string& input = "");
