// Encodes with libpng, whose errors return through longjmp; the function that sets the jump point
// holds only plain values, so that no destructor is skipped. Then the temporary-name-and-rename
// that keeps half-written files from ever carrying the target's name.
#include "render/png_file.h"

#include <png.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <climits>
#include <csetjmp>
#include <cstring>

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

// The temporary file being written, for the signal handler: a fixed buffer, since the handler may
// only make async-signal-safe calls.
char pending_path[PATH_MAX];
volatile sig_atomic_t pending = 0;

void remove_pending_and_die(int signal_number) {
  if (pending) unlink(pending_path);
  raise(signal_number);  // the handler was reset to the default, which now ends the process
}

void install_cleanup_once() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action = {};
    action.sa_handler = remove_pending_and_die;
    action.sa_flags = SA_RESETHAND;
    struct sigaction previous;
    sigaction(signal_number, &action, &previous);
    // A signal that was ignored when the program started (nohup) stays ignored.
    if (previous.sa_handler == SIG_IGN) sigaction(signal_number, &previous, nullptr);
  }
}

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

mode_t file_mode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
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

std::string write_png(const RgbImage& image, const std::string& path, const PngEncoding& encoding) {
  static const mode_t mode = file_mode();
  install_cleanup_once();
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temporary = folder + (slash == std::string::npos ? "/." : ".") + name + ".XXXXXX";
  if (temporary.size() >= sizeof pending_path) return std::strerror(ENAMETOOLONG);
  std::memcpy(pending_path, temporary.c_str(), temporary.size() + 1);

  int descriptor = mkstemp(pending_path);
  if (descriptor < 0) return std::string("cannot create a file in ") + folder + ": " + std::strerror(errno);
  pending = 1;
  std::string reason;
  FILE* file = fchmod(descriptor, mode) == 0 ? fdopen(descriptor, "wb") : nullptr;
  if (!file) {
    reason = std::strerror(errno);
    close(descriptor);
  } else {
    reason = encode_png(image, file, encoding);
    if (fclose(file) != 0 && reason.empty()) reason = std::strerror(errno);
  }
  if (reason.empty() && rename(pending_path, path.c_str()) != 0) reason = std::strerror(errno);
  if (!reason.empty()) unlink(pending_path);
  pending = 0;
  return reason;
}
