// sdif-render's speed: PNG encoding against painting the picture it encodes, at 1900 x 330 on dense
// streams and on the bundled example, side by side in one run; then thumbnails, each in a fresh
// process, of the bundled example and of a file at the thumbnail size limit. Needs no display.
// Run by hand: build/release/bench/render-bench
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "render/panel_picture.h"
#include "render/png_file.h"
#include "render/render_run.h"
#include "sdif/sdif_document.h"
#include "tools/testfiles/sdif_writer.h"

extern char** environ;

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr int WIDTH = 1900;
constexpr int HEIGHT = 330;
constexpr int ROUNDS = 15;
constexpr int THUMBNAIL_RUNS = 20;

std::string temp_file(const char* name) { return "/tmp/render-bench-" + std::to_string(getpid()) + "-" + name; }

// A loaded file; the frames stay in memory after the file on disk is removed.
struct Loaded {
  std::unique_ptr<SdifFile> file;
  explicit Loaded(const std::string& path) : file(std::make_unique<SdifFile>(path.c_str(), 0)) {
    if (file->result != SdifCode::Ok || file->read_all_frames() != SdifCode::Ok)
      throw std::runtime_error("cannot load " + path);
  }
};

// `frames` frames 5 ms apart of 256 pitch rows, 256 partials and 256 bins, all moving, so that every
// column of every view is busy and the picture is as hard to compress as the views make it.
SdifWriter dense_file(int frames) {
  SdifWriter w;
  w.file_header();
  for (int f = 0; f < frames; ++f) {
    std::vector<float> pitch, tracks, bins;
    for (int r = 0; r < 256; ++r) {
      double wobble = std::sin(2 * PI * f / 40 + 0.3 * r);
      pitch.insert(pitch.end(),
                   {float(1000.0 * (r + 0.5) / 256 * (1 + 0.02 * wobble)), float(0.3 + 0.7 * ((r + f) % 16) / 16.0)});
      tracks.insert(tracks.end(), {float(r), float(22050.0 * (r + 0.5) / 256 + 60 * wobble),
                                   float(0.2 + 0.8 * ((7 * r + f) % 16) / 16.0), 0});
      double magnitude = 0.05 + 0.9 * (0.5 + 0.5 * wobble);
      bins.insert(bins.end(), {float(magnitude * std::cos(r)), float(magnitude * std::sin(r))});
    }
    w.begin_frame("1FQ0", 0.005 * f, 1, 1).matrix_f32("1FQ0", 256, 2, pitch).end_frame();
    w.begin_frame("1TRC", 0.005 * f, 2, 1).matrix_f32("1TRC", 256, 4, tracks).end_frame();
    w.begin_frame("1STF", 0.005 * f, 3, 2).matrix_f32("1STI", 1, 3, {44100, 512, 512});
    w.matrix_f32("1STF", 256, 2, bins).end_frame();
  }
  return w;
}

double elapsed_ms(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

// Encodes into a scratch file and returns the time taken; `bytes` is the size of the PNG.
double encode_ms(const RgbImage& image, const PngEncoding& encoding, long& bytes) {
  FILE* file = std::tmpfile();
  auto start = std::chrono::steady_clock::now();
  std::string error = encode_png(image, file, encoding);
  double ms = elapsed_ms(start);
  bytes = std::ftell(file);
  std::fclose(file);
  if (!error.empty()) throw std::runtime_error(error);
  return ms;
}

// Painting and the two encodings take turns, so that a machine whose speed drifts slows all alike.
void compare(const char* name, SdifFile& file, const PanelSpec& panel) {
  SdifStreamCursor cursor(file.frames, panel.frame_type);
  std::vector<PanelPicture> panels = {{&panel, &cursor, {}, HEIGHT}};
  std::vector<double> paint, stored, compressed;
  long stored_bytes = 0, compressed_bytes = 0;
  for (int round = 0; round < ROUNDS; ++round) {
    auto start = std::chrono::steady_clock::now();
    RgbImage image = paint_panels(panels, WIDTH);
    paint.push_back(elapsed_ms(start));
    stored.push_back(encode_ms(image, PICTURE_ENCODING, stored_bytes));
    compressed.push_back(encode_ms(image, THUMBNAIL_ENCODING, compressed_bytes));
  }
  std::printf("| %-20s | %-9s | %8.2f | %8.2f | %6.2f | %7ld | %8.2f | %6.2f | %7ld |\n", name, panel.title,
              median(paint), median(stored), median(stored) / median(paint), stored_bytes / 1024, median(compressed),
              median(compressed) / median(paint), compressed_bytes / 1024);
}

// Wall time of one `sdif-render --thumbnail 256 input output` from spawn to exit.
double thumbnail_ms(const std::string& program, const std::string& input, const std::string& output) {
  std::vector<std::string> words = {program, "--thumbnail", "256", input, output};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  auto start = std::chrono::steady_clock::now();
  pid_t pid;
  int status = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0 || waitpid(pid, &status, 0) < 0 ||
      !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("thumbnail of " + input + " failed");
  return elapsed_ms(start);
}

void thumbnails(const char* name, const std::string& input) {
  std::string output = temp_file("thumbnail.png");
  std::vector<double> ms;
  for (int run = 0; run < THUMBNAIL_RUNS; ++run) ms.push_back(thumbnail_ms(RENDER_PATH, input, output));
  std::remove(output.c_str());
  std::printf("| %-28s | %8.1f | %8.1f |\n", name, median(ms), *std::max_element(ms.begin(), ms.end()));
}

}  // namespace

int main() {
  std::string dense_path = temp_file("dense.sdif");
  if (!dense_file(2000).save(dense_path)) throw std::runtime_error("cannot write " + dense_path);
  Loaded dense(dense_path);
  std::remove(dense_path.c_str());
  Loaded example(EXAMPLE_PATH);

  std::printf("One view at %d x %d: painting it against encoding it as PNG; medians of %d, milliseconds\n\n", WIDTH,
              HEIGHT, ROUNDS);
  std::printf(
      "| file                 | view      | paint    | stored   | ratio  | KiB     | level 1  | ratio  | KiB     |\n");
  std::printf(
      "|----------------------|-----------|----------|----------|--------|---------|----------|--------|---------|\n");
  for (const PanelSpec& panel : PANELS) compare("dense, 256 per frame", *dense.file, panel);
  for (const PanelSpec& panel : PANELS) compare("bundled example", *example.file, panel);
  std::printf(
      "\n(stored: the pictures' encoding, zlib level 0; level 1: the thumbnails' encoding; no row filters;\n"
      "ratio: encoding time / painting time)\n");

  // A file of 1TRC frames just under the thumbnail limit.
  std::string limit_path = temp_file("limit.sdif");
  SdifWriter big;
  big.file_header();
  std::vector<float> partials;
  for (int r = 0; r < 64; ++r) partials.insert(partials.end(), {float(r), float(200.0 * (r + 1)), 0.5f, 0});
  for (long f = 0; big.size() + 1100 < size_t(MAX_THUMBNAIL_INPUT); ++f)
    big.begin_frame("1TRC", 0.005 * double(f), 2, 1).matrix_f32("1TRC", 64, 4, partials).end_frame();
  if (!big.save(limit_path)) throw std::runtime_error("cannot write " + limit_path);

  std::printf("\nsdif-render --thumbnail 256 in a fresh process, %d runs; milliseconds\n\n", THUMBNAIL_RUNS);
  std::printf("| input                        | median   | slowest  |\n");
  std::printf("|------------------------------|----------|----------|\n");
  thumbnails("bundled example", EXAMPLE_PATH);
  thumbnails("64 MiB of 1TRC frames", limit_path);
  std::remove(limit_path.c_str());
  return 0;
}
