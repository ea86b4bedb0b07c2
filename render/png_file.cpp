// Encodes with libpng, whose errors return through longjmp; the function that sets the jump point
// holds only plain values, so that no destructor is skipped. The file itself is an OutputFile.
#include "render/png_file.h"

#include <png.h>
#include <zlib.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>

#include "cli/output_file.h"

const PngEncoding PICTURE_ENCODING = {Z_NO_COMPRESSION, Z_DEFAULT_STRATEGY, PNG_FILTER_NONE};
const PngEncoding THUMBNAIL_ENCODING = {Z_BEST_SPEED, Z_DEFAULT_STRATEGY, PNG_FILTER_NONE};

namespace {

struct EncodeFailure {
  char message[200];
  int error_number;  // errno when libpng gave up, for a failed write
};

[[noreturn]] void on_png_error(png_structp png, png_const_charp message) {
  EncodeFailure* failure = static_cast<EncodeFailure*>(png_get_error_ptr(png));
  failure->error_number = errno;
  std::snprintf(failure->message, sizeof failure->message, "%s", message);
  png_longjmp(png, 1);
}

void ignore_png_warning(png_structp, png_const_charp) {}

// Sets the jump point that libpng's errors return to, and writes the image; false when libpng gave up.
// A function of its own, so that nothing it holds is left undefined by the jump back.
bool write_rows(png_structp png, png_infop info, const RgbImage& image, FILE* file, const PngEncoding& encoding) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, encoding.level);
  png_set_compression_strategy(png, encoding.strategy);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, encoding.filters);
  png_write_info(png, info);
  size_t row_bytes = size_t(image.width) * 3;
  for (int y = 0; y < image.height; ++y) png_write_row(png, &image.rgb[size_t(y) * row_bytes]);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::string encode_png(const RgbImage& image, FILE* file, const PngEncoding& encoding) {
  EncodeFailure failure = {"", 0};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, on_png_error, ignore_png_warning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return "out of memory";
  }
  bool written = write_rows(png, info, image, file, encoding);
  png_destroy_write_struct(&png, &info);
  if (written) return "";
  return failure.error_number && ferror(file) ? std::strerror(failure.error_number) : failure.message;
}

std::string write_png(const RgbImage& image, const std::string& path, const PngEncoding& encoding,
                      const std::string& input) {
  OutputFile output;
  std::string reason = output.open(path, input);
  if (!reason.empty()) return reason;
  FILE* file = output.stream();
  if (!file) return std::strerror(errno);
  reason = encode_png(image, file, encoding);
  return reason.empty() ? output.commit() : reason;
}
