// Redraw benchmark of the three views: a full redraw through the pixel canvas and through the toolkit
// calls, X server included, at three window sizes on worst-case streams ("sizes"), a view zoomed into
// the end of a million-frame stream ("zoom"), track frames of a million rows each against a normal
// stream of as many rows ("huge"), track indices growing far past 255 against indices 0 to 199
// ("indices"), spectra of 1025 and 2049 bins against 256 ("bins"), streams made to slow a redraw
// down against a normal one ("hostile"), a data panel's wheel zoom from the event to the finished
// redraw ("wheel"), each scale, amplitude mapping and colour map against the default ("looks"), and a
// pointer motion to the new readout in the title bar ("readout"). Run by hand under a true-colour
// display big enough for the largest window, for example:
//   xvfb-run -a -s "-screen 0 3840x1080x24" build/release/bench/view-bench [CASE...]
// Without a case all of them run. The "sizes" streams take about 1.7 GB of memory, and up to 0.9 GB
// more while one is being written; "huge" takes about 100 MB, "indices" and "bins" about 100 MB, and
// "hostile" about 5 GB while its largest stream is written and loaded.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/x.H>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/data_panel.h"
#include "app/range_slider.h"
#include "sdif/sdif_document.h"
#include "tests/support/toolkit_canvas.h"
#include "tools/testfiles/sdif_writer.h"
#include "views/pitch_view.h"
#include "views/pixel_canvas.h"
#include "views/residual_view.h"
#include "views/track_view.h"
#include "views/view_controls.h"

namespace {

constexpr double PI = 3.14159265358979323846;

// One matrix of 32-bit floats, row after row.
struct Matrix {
  int rows, columns;
  std::vector<float> elements;
};

// A stream written as an SDIF file and loaded by the viewer's own loader, so that its frames and
// elements lie in memory as a real file's do. Frames are 5 ms apart; `matrix(f, m)` gives matrix m
// of frame f. The file is removed once it is loaded.
class Stream {
 public:
  template <class MatrixOf>
  Stream(const char* type, long frames, int matrices_per_frame, MatrixOf matrix)
      : Stream(type, frames, matrices_per_frame, matrix, [](long f) { return 0.005 * f; }) {}
  // With the time of frame f given by `time(f)`.
  template <class MatrixOf, class TimeOf>
  Stream(const char* type, long frames, int matrices_per_frame, MatrixOf matrix, TimeOf time) {
    std::string path = "/tmp/view-bench-" + std::to_string(getpid()) + ".sdif";
    {
      SdifWriter writer;
      writer.file_header();
      for (long f = 0; f < frames; ++f) {
        writer.begin_frame(type, time(f), 1, matrices_per_frame);
        for (int m = 0; m < matrices_per_frame; ++m) {
          Matrix made = matrix(f, m);
          writer.matrix_f32(type, made.rows, made.columns, made.elements);
        }
        writer.end_frame();
      }
      if (!writer.save(path)) throw std::runtime_error("cannot write " + path);
    }
    file = std::make_unique<SdifFile>(path.c_str(), 0);
    SdifResult loaded = file->result == SdifCode::Ok ? file->read_all_frames() : file->result;
    std::remove(path.c_str());
    if (loaded != SdifCode::Ok) throw std::runtime_error("cannot load " + path);
    first_type = type;
  }

  // A fresh cursor for a view to be built on.
  SdifStreamCursor& linked() {
    cursor = std::make_unique<SdifStreamCursor>(file->frames, first_type);
    return *cursor;
  }

 private:
  std::unique_ptr<SdifFile> file;
  const char* first_type = nullptr;
  std::unique_ptr<SdifStreamCursor> cursor;
};

// A 6.25 Hz vibrato of 1% depth at frame f: a period of 32 frames.
double vibrato(long f, int slot) { return 1.0 + 0.01 * std::sin(2 * PI * f / 32 + 0.1 * slot); }

// 256 rows, each a trace across the whole height; the weights vary from row to row and frame to frame.
std::unique_ptr<Stream> pitch_stream(long frames) {
  return std::make_unique<Stream>("1FQ0", frames, 1, [](long f, int) {
    Matrix matrix{SLOTS, 2, {}};
    for (int r = 0; r < SLOTS; ++r) {
      matrix.elements.push_back(float(1000.0 * (r + 0.5) / SLOTS * vibrato(f, r)));
      matrix.elements.push_back(float(0.3 + 0.7 * ((7 * r + f) % 16) / 16.0));
    }
    return matrix;
  });
}

// `partials` partials spread over the band with vibrato. A jumpy stream instead moves every partial by
// up to 500 Hz from one frame to the next, so that its traces draw long lines in every column.
std::unique_ptr<Stream> track_stream(long frames, int partials, bool jumpy) {
  return std::make_unique<Stream>("1TRC", frames, 1, [=](long f, int) {
    Matrix matrix{partials, 4, {}};
    for (int r = 0; r < partials; ++r) {
      double centre = 22050.0 * (r + 0.5) / partials;
      double frequency = jumpy ? centre + 500 * std::sin(2 * PI * f / 64 + 0.7 * r) : centre * vibrato(f, r);
      matrix.elements.insert(matrix.elements.end(),
                             {float(r), float(frequency), float(0.2 + 0.8 * ((r + f) % 16) / 16.0), 0.0f});
    }
    return matrix;
  });
}

// `lanes` partials, each in a lane of the band with vibrato, in lane order. With `growing` indices
// each lane's partial ends every other frame and the next takes a new index, the lanes in turn, as
// analysis programs number their partials: indices then grow by `lanes` every other frame.
std::unique_ptr<Stream> lane_stream(long frames, int lanes, bool growing) {
  return std::make_unique<Stream>("1TRC", frames, 1, [=](long f, int) {
    Matrix matrix{lanes, 4, {}};
    for (int r = 0; r < lanes; ++r) {
      long index = growing ? r + lanes * ((f + r % 2) / 2) : r;
      matrix.elements.insert(matrix.elements.end(), {float(index), float(22050.0 * (r + 0.5) / lanes * vibrato(f, r)),
                                                     float(0.2 + 0.8 * ((r + f) % 16) / 16.0), 0.0f});
    }
    return matrix;
  });
}

// An information matrix, then `bins` bins whose magnitudes wander between 0.05 and 0.95.
std::unique_ptr<Stream> residual_stream(long frames, int bins) {
  return std::make_unique<Stream>("1STF", frames, 2, [=](long f, int m) {
    if (m == 0) return Matrix{1, 3, {44100, 512, 512}};
    Matrix matrix{bins, 2, {}};
    for (int r = 0; r < bins; ++r) {
      double magnitude = 0.05 + 0.9 * (0.5 + 0.5 * std::sin(2 * PI * f / 64 + 0.7 * r));
      matrix.elements.push_back(float(magnitude * std::cos(r)));
      matrix.elements.push_back(float(magnitude * std::sin(r)));
    }
    return matrix;
  });
}

// `frames` frames of `rows` partials each, in 3 columns; the track indices run through 0 to 255, or
// with `in_range` false through 256 to 1255. Frequencies and amplitudes vary from row to row. Frame f
// lies at `time(f)`.
template <class TimeOf>
std::unique_ptr<Stream> matrix_stream(long frames, int rows, bool in_range, TimeOf time) {
  auto matrix_of = [=](long f, int) {
    Matrix matrix{rows, 3, {}};
    matrix.elements.reserve(size_t(rows) * 3);
    for (int r = 0; r < rows; ++r) {
      long spread = (r * 7919L + f * 104729L) % 1000;
      matrix.elements.insert(matrix.elements.end(), {float(in_range ? r % SLOTS : SLOTS + r % 1000),
                                                     float(22050.0 * (spread + 0.5) / 1000), float(0.05 + 0.9 * spread / 1000.0)});
    }
    return matrix;
  };
  return std::make_unique<Stream>("1TRC", frames, 1, matrix_of, time);
}

std::unique_ptr<Stream> matrix_stream(long frames, int rows, bool in_range) {
  return matrix_stream(frames, rows, in_range, [](long f) { return 0.005 * f; });
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
// With a `drag`, each redraw through the canvas moves the time range by it and back, as a drag to and
// fro does.
template <class View>
Timings time_view(SdifStreamCursor& cursor, int w, int h, int rounds, float position = 0.0f, float size = 1.0f,
                  float drag = 0.0f) {
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
  // Redraws of a window the server has not mapped yet cost nothing, so wait until it has.
  XWindowAttributes attributes;
  do {
    Fl::wait(0.02);
    XGetWindowAttributes(fl_display, fl_xid(&window), &attributes);
  } while (attributes.map_state != IsViewable);
  for (int i = 0; i < 5; ++i) Fl::wait(0.02);
  Timings timings;
  for (int round = 0; round < rounds; ++round) {
    for (int i = 0; i < 3; ++i) {
      canvas_view->time_position = position + (i % 2) * drag;
      timings.canvas.push_back(redraw_ms(*canvas_view));
    }
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

void window_sizes() {
  const long frames = 100000;
  auto pitch = pitch_stream(frames);
  auto tracks = track_stream(frames, SLOTS, false);
  auto jumpy = track_stream(frames, SLOTS, true);
  auto residual = residual_stream(frames, SLOTS);
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
}

void zoom() {
  const long long_frames = 1000000;
  auto long_tracks = track_stream(long_frames, 16, false);
  std::printf("\nTrack view 430 x 110 over %ld frames of 16 partials; milliseconds\n\n", long_frames);
  std::printf("| time range           | redraw   | paint    |\n");
  std::printf("|----------------------|----------|----------|\n");
  Timings whole = time_view<TrackView>(long_tracks->linked(), 430, 110, 7);
  Timings last = time_view<TrackView>(long_tracks->linked(), 430, 110, 7, 0.99f, 0.01f);
  std::printf("| whole stream         | %8.2f | %8.2f |\n", median(whole.canvas), median(whole.paint));
  std::printf("| last 1%%              | %8.2f | %8.2f |\n", median(last.canvas), median(last.paint));
}

// One row of a table of streams against a reference stream: a new view's first painting (in memory),
// which makes the maps of the frames it shows, then redraws, which find them made. With a `drag` the
// view shows half the stream and is dragged to and fro by that share. Returns the median redraw, so
// that the reference's row gives the others' ratio (a reference of 0 is the row itself).
template <class View>
double against(const char* name, Stream& stream, int w, int h, double reference_ms, int rounds = 1, float drag = 0) {
  View fresh(0, 0, w, h, &stream.linked());
  double first = paint_ms(fresh);
  Timings t = time_view<View>(stream.linked(), w, h, rounds, 0.0f, drag ? 0.5f : 1.0f, drag);
  double ms = median(t.canvas);
  std::printf("| %-27s | %4d x %-3d | %9.2f | %8.2f | %8.2f | %8.2f | %8.2f |\n", name, w, h, first, ms,
              *std::min_element(t.canvas.begin(), t.canvas.end()), median(t.paint), ms / (reference_ms ? reference_ms : ms));
  return ms;
}

void table_head(const char* title, const char* reference) {
  std::printf("\n%s; milliseconds\n\n", title);
  std::printf("| stream                      | size       | 1st paint | redraw   | best     | paint    | / %-6s |\n", reference);
  std::printf("|-----------------------------|------------|-----------|----------|----------|----------|----------|\n");
}

// Goal: under 10 ms at 430 x 110 and 40 ms at 1900 x 330, and no more than twice the normal stream.
// One round each (three redraws through the canvas), since a slow track view takes seconds per redraw.
void huge_matrices() {
  const int rows = 1000000;
  auto two = matrix_stream(2, rows, true);
  auto beyond = matrix_stream(1, rows, false);
  auto normal = matrix_stream(2 * rows / SLOTS, SLOTS, true);
  char title[100];
  std::snprintf(title, sizeof title, "Track view over frames of %d rows, against %d frames of 256", rows, 2 * rows / SLOTS);
  table_head(title, "normal");
  const int sizes[][2] = {{430, 110}, {1900, 330}};
  for (const auto& size : sizes) {
    double normal_ms = against<TrackView>("normal, 256 rows a frame", *normal, size[0], size[1], 0);
    against<TrackView>("2 frames, indices 0-255", *two, size[0], size[1], normal_ms);
    against<TrackView>("1 frame, indices 256-1255", *beyond, size[0], size[1], normal_ms);
  }
}

// Milliseconds from a wheel event over a panel's view to the end of the redraw it asks for, X server
// included, over `notches` notches that alternate zooming in and out around the middle of the view.
double wheel_ms(SdifStreamCursor& cursor, int kind, Range time, int notches) {
  const int w = 1900, h = 330, panel_width = w + 20, panel_height = h + 40;
  Fl_Double_Window window(panel_width, panel_height, "view-bench");
  DataPanel* panel = new DataPanel(0, 0, panel_width, panel_height, "wheel", kind, &cursor);
  window.end();
  window.show();
  // The toolkit draws nothing into a window before the server's first Expose event.
  window.wait_for_expose();
  panel->time_slider->move_range(time.size, time.position);
  Fl::flush();
  std::vector<double> ms;
  for (int i = 0; i < notches; ++i) {
    Fl::e_x = w / 2;
    Fl::e_y = 20 + h / 2;
    Fl::e_state = 0;
    Fl::e_dx = 0;
    Fl::e_dy = i % 2 ? 1 : -1;
    auto start = std::chrono::steady_clock::now();
    panel->handle(FL_MOUSEWHEEL);
    Fl::flush();
    XSync(fl_display, False);
    ms.push_back(elapsed_ms(start));
  }
  window.hide();
  Fl::wait(0.01);
  return median(ms);
}

// Goal: under 16 ms, a frame at 60 Hz, on the heaviest stream of "sizes" and on an hour-long stream
// zoomed into its last second.
void wheel() {
  auto jumpy = track_stream(100000, SLOTS, true);
  auto residual = residual_stream(100000, SLOTS);
  // An hour of frames 5 ms apart, 16 partials each.
  auto hour = track_stream(720000, 16, false);
  std::printf("\nWheel zoom over a data panel's 1900 x 330 view, event to finished redraw; milliseconds\n\n");
  std::printf("| stream                               | time range       | median   |\n");
  std::printf("|--------------------------------------|------------------|----------|\n");
  std::printf("| tracks, 100 000 frames of 256, jumpy | whole            | %8.2f |\n",
              wheel_ms(jumpy->linked(), VIEW_TRACKS, {0.0, 1.0}, 20));
  std::printf("| residual, 100 000 frames of 256 bins | whole            | %8.2f |\n",
              wheel_ms(residual->linked(), VIEW_RESIDUAL, {0.0, 1.0}, 20));
  std::printf("| tracks, one hour, 720 000 frames     | the last second  | %8.2f |\n",
              wheel_ms(hour->linked(), VIEW_TRACKS, {1.0 - 1.0 / 3600, 1.0 / 3600}, 20));
}

// Goal: growing indices no more than 1.5 times indices 0 to 199.
void growing_indices() {
  auto small = lane_stream(1000, 200, false);
  auto growing = lane_stream(1000, 200, true);
  table_head("Track view over 1000 frames of 200 partials", "0-199");
  double small_ms = against<TrackView>("indices 0 to 199", *small, 1900, 330, 0, 10);
  against<TrackView>("indices growing to 100199", *growing, 1900, 330, small_ms, 10);
}

// Goal: 1025 and 2049 bins no more than 1.5 times 256 bins.
void many_bins() {
  const long frames = 2000;
  table_head("Residual view over 2000 frames", "256");
  double reference_ms = 0;
  for (int bins : {SLOTS, 1025, 2049}) {
    auto stream = residual_stream(frames, bins);
    std::string name = std::to_string(bins) + " bins";
    double ms = against<ResidualView>(name.c_str(), *stream, 1900, 330, reference_ms, 10);
    if (bins == SLOTS) reference_ms = ms;
  }
}

// Goal: each no more than twice the normal stream. Track frames of a million rows with indices 0 to
// 255, twenty and then 175 of them (2.1 GB), and frames of 20 million rows dragged to and fro; ten
// million one-row frames whose times step back once, near the end.
void hostile_streams() {
  const int rows = 1000000;
  auto normal = matrix_stream(2 * rows / SLOTS, SLOTS, true);
  table_head("Track view at 450 x 450, streams made to be slow, against 7812 frames of 256", "normal");
  double normal_ms = against<TrackView>("normal, 256 rows a frame", *normal, 450, 450, 0, 3);
  against<TrackView>("20 frames of 1M rows", *matrix_stream(20, rows, true), 450, 450, normal_ms, 3);
  {
    auto stream = matrix_stream(3, 20 * rows, true);
    against<TrackView>("3 frames of 20M rows, drag", *stream, 450, 450, normal_ms, 3, 0.2f);
  }
  {
    const long frames = 10000000;
    auto stream = matrix_stream(frames, 1, true, [=](long f) { return 0.005 * (f < frames - 1000 ? f : f - 2000); });
    against<TrackView>("10M frames, one step back", *stream, 450, 450, normal_ms, 3);
  }
  against<TrackView>("175 frames of 1M rows", *matrix_stream(175, rows, true), 450, 450, normal_ms, 3);
}

// Milliseconds from a pointer motion over a panel's 1900 x 330 view to the end of the title bar's
// redraw that shows the new readout, X server included, the median of `moves` motions across the view.
double readout_ms(SdifStreamCursor& cursor, int kind, int moves) {
  const int w = 1900, h = 330, panel_width = w + 20, panel_height = h + 40;
  Fl_Double_Window window(panel_width, panel_height, "view-bench");
  DataPanel* panel = new DataPanel(0, 0, panel_width, panel_height, "readout", kind, &cursor);
  window.end();
  window.show();
  window.wait_for_expose();
  std::vector<double> ms;
  for (int i = 0; i < moves; ++i) {
    Fl::e_x = 10 + (i * 7919) % (w - 20);
    Fl::e_y = 20 + 10 + (i * 104729) % (h - 20);
    Fl::e_state = 0;
    auto start = std::chrono::steady_clock::now();
    panel->handle(FL_MOVE);
    Fl::flush();
    XSync(fl_display, False);
    ms.push_back(elapsed_ms(start));
  }
  window.hide();
  Fl::wait(0.01);
  return median(ms);
}

// Goal: under 5 ms on the largest streams.
void readout() {
  auto jumpy = track_stream(100000, SLOTS, true);
  auto residual = residual_stream(100000, SLOTS);
  auto huge = matrix_stream(20, 1000000, true);
  std::printf("\nPointer motion to the new readout over a 1900 x 330 view; milliseconds\n\n");
  std::printf("| stream                               | median   |\n");
  std::printf("|--------------------------------------|----------|\n");
  std::printf("| tracks, 100 000 frames of 256, jumpy | %8.3f |\n", readout_ms(jumpy->linked(), VIEW_TRACKS, 200));
  std::printf("| residual, 100 000 frames of 256 bins | %8.3f |\n", readout_ms(residual->linked(), VIEW_RESIDUAL, 200));
  std::printf("| tracks, 20 frames of 1 000 000 rows  | %8.3f |\n", readout_ms(huge->linked(), VIEW_TRACKS, 200));
}

// The redraws of one view at 1900 x 330 through every look, taking turns so that a drift of the
// machine's speed slows all alike; each look's median against the default's.
template <class View>
void looks_of(const char* stream, SdifStreamCursor& cursor) {
  Fl_Double_Window window(1900, 330, "view-bench");
  View* view = new View(0, 0, 1900, 330, &cursor);
  window.end();
  window.show();
  window.wait_for_expose();
  struct Look {
    const char* name;
    ViewControls controls;
  };
  std::vector<Look> looks = {{"default", {}}};
  for (VerticalScale scale : {VerticalScale::Log, VerticalScale::Note}) looks.push_back({vertical_scale_name(scale), {}});
  looks[1].controls.scale = VerticalScale::Log;
  looks[2].controls.scale = VerticalScale::Note;
  looks.push_back({"db", {}});
  looks.back().controls.amplitude = AmplitudeScale::Decibels;
  for (ColorMap map : COLOR_MAPS) {
    if (map == ColorMap::Ramp) continue;
    looks.push_back({color_map_name(map), {}});
    looks.back().controls.color_map = map;
  }
  std::vector<std::vector<double>> ms(looks.size());
  for (int round = 0; round < 8; ++round)
    for (size_t i = 0; i < looks.size(); ++i) {
      apply_controls(looks[i].controls, *view);
      redraw_ms(*view);
      ms[i].push_back(redraw_ms(*view));
    }
  window.hide();
  Fl::wait(0.01);
  for (size_t i = 0; i < looks.size(); ++i)
    std::printf("| %-26s | %-8s | %8.2f | %8.2f |\n", stream, looks[i].name, median(ms[i]), median(ms[i]) / median(ms[0]));
}

// Goal: every look within 1.15 times the default picture's redraw.
void looks() {
  const long frames = 100000;
  auto tracks = track_stream(frames, SLOTS, false);
  auto jumpy = track_stream(frames, SLOTS, true);
  auto pitch = pitch_stream(frames);
  auto residual = residual_stream(frames, SLOTS);
  auto wide = residual_stream(2000, 1025);
  std::printf("\nEach look at 1900 x 330, redraw median; milliseconds\n\n");
  std::printf("| stream                     | look     | redraw   | / default|\n");
  std::printf("|----------------------------|----------|----------|----------|\n");
  looks_of<TrackView>("tracks, 100000 x 256", tracks->linked());
  looks_of<TrackView>("tracks, jumpy, 100000 x 256", jumpy->linked());
  looks_of<PitchView>("pitch, 100000 x 256", pitch->linked());
  looks_of<ResidualView>("residual, 100000 x 256", residual->linked());
  looks_of<ResidualView>("residual, 2000 x 1025", wide->linked());
}

}  // namespace

int main(int argc, char** argv) {
  Fl::visual(FL_RGB);
  const std::pair<const char*, void (*)()> cases[] = {
      {"sizes", window_sizes}, {"zoom", zoom},   {"huge", huge_matrices},       {"indices", growing_indices},
      {"bins", many_bins},     {"hostile", hostile_streams}, {"wheel", wheel}, {"looks", looks}, {"readout", readout}};
  for (int i = 1; i < argc; ++i) {
    bool known = false;
    for (const auto& c : cases) known |= std::strcmp(argv[i], c.first) == 0;
    if (!known) {
      std::fprintf(stderr, "usage: view-bench [sizes] [zoom] [huge] [indices] [bins] [hostile] [wheel] [looks] [readout]\n");
      return 2;
    }
  }
  for (const auto& [name, run] : cases) {
    bool chosen = argc == 1;
    for (int i = 1; i < argc; ++i) chosen |= std::strcmp(argv[i], name) == 0;
    if (chosen) run();
  }
  return 0;
}
