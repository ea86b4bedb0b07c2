// Decodes through libpng's simplified reading interface.
#include "tests/render/png_pixels.h"

#include <png.h>

RgbImage read_png(const std::string& path) {
  png_image png = {};
  png.version = PNG_IMAGE_VERSION;
  RgbImage image;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return image;
  png.format = PNG_FORMAT_RGB;
  image.rgb.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
    png_image_free(&png);
    image.rgb.clear();
    return image;
  }
  image.width = int(png.width);
  image.height = int(png.height);
  return image;
}
