// Redraw benchmark of the three views: a full redraw through the pixel canvas and through the toolkit
// calls, X server included, at three window sizes on worst-case streams, and a view zoomed into the
// end of a million-frame stream. Run by hand under a true-colour display big enough for the largest
// window, for example: xvfb-run -a -s "-screen 0 3840x1080x24" build/release/bench/view-bench
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/x.H>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "sdif/sdif_document.h"
#include "views/pitch_view.h"
#include "views/pixel_canvas.h"
#include "views/residual_view.h"
#include "views/toolkit_canvas.h"
#include "views/track_view.h"

namespace {

constexpr double PI = 3.14159265358979323846;
// Frames share this many element blocks, so long streams cost little memory.
constexpr int VARIANTS = 64;
constexpr int SLOTS = 256;

// A stream built in memory the way the loader links one: frames in a list, each with its matrices.
class Stream {
 public:
  Stream(const char* type, long frames, int matrices_per_frame)
      : frame_records(frames), matrix_records(frames * matrices_per_frame), cursor(nullptr, type) {
    for (long f = 0; f < frames; ++f) {
      SdifFrame& frame = frame_records[f];
      SDIF_SetType(frame.type, type);
      frame.time = 0.005 * f;
      frame.stream_id = 1;
      frame.matrix_count = matrices_per_frame;
      frame.next = f + 1 < frames ? &frame_records[f + 1] : nullptr;
      frame.matrices = &matrix_records[f * matrices_per_frame];
      for (int m = 0; m + 1 < matrices_per_frame; ++m) frame.matrices[m].next = &frame.matrices[m + 1];
    }
  }

  // Gives matrix `m` of every frame one of `blocks` in turn, as 32-bit float elements.
  void fill(int m, int rows, int columns, const std::vector<std::vector<float>>& blocks) {
    block_store.push_back(blocks);
    for (size_t f = 0; f < frame_records.size(); ++f) {
      SdifMatrix& matrix = frame_records[f].matrices[m];
      matrix.data_type = 4;
      matrix.rows = rows;
      matrix.columns = columns;
      matrix.data = block_store.back()[f % blocks.size()].data();
    }
  }

  SdifStreamCursor& linked() {
    cursor = SdifStreamCursor(frame_records.data(), frame_records[0].type);
    return cursor;
  }

 private:
  std::vector<SdifFrame> frame_records;
  std::vector<SdifMatrix> matrix_records;
  std::vector<std::vector<std::vector<float>>> block_store;
  SdifStreamCursor cursor;
};

// A 6.25 Hz vibrato of 1% depth: frames are 5 ms apart, so the 64 shared blocks hold two periods.
double vibrato(int variant, int slot) { return 1.0 + 0.01 * std::sin(2 * PI * variant / 32 + 0.1 * slot); }

// 256 rows, each a trace across the whole height; the weights vary from row to row and frame to frame.
std::unique_ptr<Stream> pitch_stream(long frames) {
  std::vector<std::vector<float>> blocks(VARIANTS);
  for (int v = 0; v < VARIANTS; ++v)
    for (int r = 0; r < SLOTS; ++r) {
      blocks[v].push_back(float(1000.0 * (r + 0.5) / SLOTS * vibrato(v, r)));
      blocks[v].push_back(float(0.3 + 0.7 * ((7 * r + v) % 16) / 16.0));
    }
  auto stream = std::make_unique<Stream>("1FQ0", frames, 1);
  stream->fill(0, SLOTS, 2, blocks);
  return stream;
}

// 256 partials spread over the band with vibrato. A jumpy stream instead moves every partial by up to
// 500 Hz from one frame to the next, so that its traces draw long lines in every column.
std::unique_ptr<Stream> track_stream(long frames, bool jumpy) {
  std::vector<std::vector<float>> blocks(VARIANTS);
  for (int v = 0; v < VARIANTS; ++v)
    for (int r = 0; r < SLOTS; ++r) {
      double centre = 22050.0 * (r + 0.5) / SLOTS;
      double frequency = jumpy ? centre + 500 * std::sin(2 * PI * v / VARIANTS + 0.7 * r) : centre * vibrato(v, r);
      blocks[v].insert(blocks[v].end(), {float(r), float(frequency), float(0.2 + 0.8 * ((r + v) % 16) / 16.0), 0.0f});
    }
  auto stream = std::make_unique<Stream>("1TRC", frames, 1);
  stream->fill(0, SLOTS, 4, blocks);
  return stream;
}

std::unique_ptr<Stream> residual_stream(long frames) {
  std::vector<std::vector<float>> info(1, {44100, 512, 512});
  std::vector<std::vector<float>> blocks(VARIANTS);
  for (int v = 0; v < VARIANTS; ++v)
    for (int r = 0; r < SLOTS; ++r) {
      double magnitude = 0.05 + 0.9 * (0.5 + 0.5 * std::sin(2 * PI * v / VARIANTS + 0.7 * r));
      blocks[v].push_back(float(magnitude * std::cos(r)));
      blocks[v].push_back(float(magnitude * std::sin(r)));
    }
  auto stream = std::make_unique<Stream>("1STF", frames, 2);
  stream->fill(0, 1, 3, info);
  stream->fill(1, SLOTS, 2, blocks);
  return stream;
}

// The same view drawing each line through its own toolkit call.
template <class View>
class DirectView : public View {
 public:
  using View::View;
  void draw() override {
    ToolkitCanvas canvas;
    this->paint(canvas);
  }
};

double elapsed_ms(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// One full redraw of the view, until the X server has drawn it.
double redraw_ms(Fl_Widget& view) {
  auto start = std::chrono::steady_clock::now();
  view.redraw();
  Fl::flush();
  XSync(fl_display, False);
  return elapsed_ms(start);
}

// Painting into memory alone, without the X server.
template <class View>
double paint_ms(View& view) {
  auto start = std::chrono::steady_clock::now();
  PixelCanvas canvas(view.x(), view.y(), view.w(), view.h(), shared_picture_storage());
  view.paint(canvas);
  return elapsed_ms(start);
}

struct Timings {
  std::vector<double> canvas, paint, direct;
};

double median(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

// The two back ends take turns in one window, so that a machine whose speed drifts slows both alike.
// Only the view being timed is visible; the flags change without asking for a redraw.
template <class View>
Timings time_view(SdifStreamCursor& cursor, int w, int h, int rounds, float position = 0.0f, float size = 1.0f) {
  Fl_Double_Window window(w, h, "view-bench");
  View* canvas_view = new View(0, 0, w, h, &cursor);
  DirectView<View>* direct_view = new DirectView<View>(0, 0, w, h, &cursor);
  for (SdifView* view : {static_cast<SdifView*>(canvas_view), static_cast<SdifView*>(direct_view)}) {
    view->time_position = position;
    view->time_size = size;
  }
  window.end();
  direct_view->clear_visible();
  window.show();
  while (!window.visible()) Fl::wait(0.05);
  for (int i = 0; i < 5; ++i) Fl::wait(0.02);
  Timings timings;
  for (int round = 0; round < rounds; ++round) {
    for (int i = 0; i < 3; ++i) timings.canvas.push_back(redraw_ms(*canvas_view));
    timings.paint.push_back(paint_ms(*canvas_view));
    canvas_view->clear_visible();
    direct_view->set_visible();
    timings.direct.push_back(redraw_ms(*direct_view));
    direct_view->clear_visible();
    canvas_view->set_visible();
  }
  window.hide();
  Fl::wait(0.01);
  return timings;
}

template <class View>
void row(const char* name, SdifStreamCursor& cursor, int w, int h) {
  Timings t = time_view<View>(cursor, w, h, w > 2000 ? 4 : 8);
  double canvas = median(t.canvas), direct = median(t.direct);
  std::printf("| %-9s | %4d x %-3d | %8.2f | %8.2f | %8.2f | %9.1f | %8.1f |\n", name, w, h, canvas,
              *std::min_element(t.canvas.begin(), t.canvas.end()), median(t.paint), direct, direct / canvas);
}

}  // namespace

int main() {
  Fl::visual(FL_RGB);
  const long frames = 100000;
  auto pitch = pitch_stream(frames);
  auto tracks = track_stream(frames, false);
  auto jumpy = track_stream(frames, true);
  auto residual = residual_stream(frames);
  const int sizes[][2] = {{430, 110}, {1900, 330}, {3820, 690}};

  std::printf("Full redraw, %ld frames per stream, 256 traces or bins; milliseconds\n\n", frames);
  std::printf("| view      | size       | canvas   | best     | paint    | direct    | ratio    |\n");
  std::printf("|-----------|------------|----------|----------|----------|-----------|----------|\n");
  for (const auto& size : sizes) {
    row<PitchView>("pitch", pitch->linked(), size[0], size[1]);
    row<TrackView>("tracks", tracks->linked(), size[0], size[1]);
    row<ResidualView>("residual", residual->linked(), size[0], size[1]);
    row<TrackView>("jumpy", jumpy->linked(), size[0], size[1]);
  }

  const long long_frames = 1000000;
  auto long_tracks = track_stream(long_frames, false);
  std::printf("\nTrack view 430 x 110 over %ld frames; milliseconds\n\n", long_frames);
  std::printf("| time range           | redraw   | paint    |\n");
  std::printf("|----------------------|----------|----------|\n");
  Timings whole = time_view<TrackView>(long_tracks->linked(), 430, 110, 7);
  Timings last = time_view<TrackView>(long_tracks->linked(), 430, 110, 7, 0.99f, 0.01f);
  std::printf("| whole stream         | %8.2f | %8.2f |\n", median(whole.canvas), median(whole.paint));
  std::printf("| last 1%%              | %8.2f | %8.2f |\n", median(last.canvas), median(last.paint));
  return 0;
}
