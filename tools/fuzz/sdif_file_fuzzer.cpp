// libFuzzer target for untrusted files: each input is loaded as a file and from a pipe, checked, and
// sampled and painted by the three views. Run by scripts/fuzz.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sdif/sdif_document.h"
#include "views/pitch_view.h"
#include "views/pixel_canvas.h"
#include "views/residual_view.h"
#include "views/track_view.h"

namespace {

// How the loader opens a file that only a descriptor names.
std::string descriptor_path(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// The fuzzer's input lives in memory; the loader opens it by path, read-only, as it opens any file.
int input_file() {
  static const int fd = memfd_create("sdif-fuzz-input", 0);
  if (fd < 0) std::abort();
  return fd;
}

void write_input(const uint8_t* data, size_t size) {
  if (ftruncate(input_file(), 0) != 0 || pwrite(input_file(), data, size, 0) != static_cast<ssize_t>(size))
    std::abort();
}

// What the loader promises about the frames it keeps, whatever the file held.
void check_document(const SdifFile& file) {
  const SdifFrame* previous = nullptr;
  for (const SdifFrame* frame = file.frames; frame; previous = frame, frame = frame->next) {
    if (frame->prev != previous) std::abort();
    int32_t matrices = 0;
    for (const SdifMatrix* m = frame->matrices; m; m = m->next) {
      if (SDIF_PaddedDataSize(m) != 0 && !m->data) std::abort();
      if (m->rows < 0 || m->columns < 0) std::abort();
      ++matrices;
    }
    if (matrices != std::max(frame->matrix_count, 0)) std::abort();
  }
}

// A cursor's stream runs from first to last through the stream links, all of one stream ID.
void check_cursor(const SdifStreamCursor& cursor) {
  if (!cursor.first) {
    if (cursor.last || cursor.current) std::abort();
    return;
  }
  const SdifFrame* frame = cursor.first;
  while (frame->next_in_stream) {
    if (frame->next_in_stream->prev_in_stream != frame || frame->next_in_stream->stream_id != frame->stream_id)
      std::abort();
    frame = frame->next_in_stream;
  }
  if (frame != cursor.last) std::abort();
}

// The same bytes from a pipe, whose length the loader cannot know, load to the same document; only
// a file header longer than 8 bytes cannot be skipped on a pipe and is refused there.
void check_piped_load(const uint8_t* data, size_t size, const SdifFile& from_file) {
  int ends[2];
  if (pipe2(ends, O_NONBLOCK) != 0) std::abort();
  // An input larger than the pipe's buffer would need a second thread to feed it; it is not compared.
  bool whole = size == 0 || write(ends[1], data, size) == static_cast<ssize_t>(size);
  close(ends[1]);
  const uint8_t short_header[4] = {0, 0, 0, 8};
  if (whole && size >= 8 && std::memcmp(data + 4, short_header, 4) == 0) {
    SdifFile piped(descriptor_path(ends[0]).c_str(), 0);
    piped.read_all_frames();
    if (piped.result != from_file.result) std::abort();
    const SdifFrame* a = from_file.frames;
    const SdifFrame* b = piped.frames;
    for (; a && b; a = a->next, b = b->next) {
      const SdifMatrix* m = a->matrices;
      const SdifMatrix* n = b->matrices;
      for (; m && n; m = m->next, n = n->next) {
        size_t bytes = static_cast<size_t>(SDIF_PaddedDataSize(m) - SDIF_PadBytes(m));
        if (SDIF_PaddedDataSize(n) != SDIF_PaddedDataSize(m) || (bytes && std::memcmp(m->data, n->data, bytes)))
          std::abort();
      }
      if (m || n) std::abort();
    }
    if (a || b) std::abort();
  }
  close(ends[0]);
}

struct Zoom {
  int width, height;
  float time_position, time_size, vertical_position, vertical_size;
};

// At rest, zoomed into the middle, taller than the 256 bins, single pixels and sizes of 0, and
// fractions beyond 0..1 that a slider at its limits could hand over. Narrow, since every column
// samples every slot.
constexpr Zoom zooms[] = {
    {11, 17, 0.0f, 1.0f, 0.0f, 1.0f},   {6, 40, 0.25f, 0.5f, 0.5f, 0.5f},  {3, 300, 0.0f, 1.0f, 0.0f, 1.0f},
    {1, 1, 1.0f, 0.0f, 1.0f, 0.0f},     {4, 3, -0.5f, 4.0f, -2.0f, 1e-7f}, {2, 9, 0.999f, 1e-3f, 0.9f, 1e9f},
    {0, 10, 0.0f, 1.0f, 0.0f, 1.0f},
};

std::vector<uint32_t> picture;

void sample(PitchView& view, double t) {
  SlotValues values, amplitudes;
  view.sample_column(t, values, amplitudes);
}

void sample(TrackView& view, double t) {
  SlotValues frequencies, amplitudes;
  view.sample_column(t, frequencies, amplitudes);
}

void sample(ResidualView& view, double t) {
  SlotValues magnitudes;
  view.sample_column(t, magnitudes);
}

// Samples at the stream's own frame times and half-way between them (where equal times give a weight
// of 0 / 0), then paints the view at every zoom. Like start-up, makes no view for a stream without frames.
template <class View>
void exercise(SdifStreamCursor& cursor) {
  if (!cursor.first) return;
  View view(0, 0, 1, 1, &cursor);
  cursor.current = cursor.first;
  int steps = 0;
  for (const SdifFrame* frame = cursor.first; frame && steps < 16; frame = frame->next_in_stream, ++steps) {
    sample(view, frame->time);
    if (frame->next_in_stream) sample(view, frame->time + (frame->next_in_stream->time - frame->time) / 2);
  }
  for (const Zoom& zoom : zooms) {
    view.resize(3, 5, zoom.width, zoom.height);
    view.time_position = zoom.time_position;
    view.time_size = zoom.time_size;
    view.vertical_position = zoom.vertical_position;
    view.vertical_size = zoom.vertical_size;
    PixelCanvas canvas(view.x(), view.y(), view.w(), view.h(), picture);
    view.paint(canvas);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  write_input(data, size);
  SdifFile file(descriptor_path(input_file()).c_str(), 0);
  file.read_all_frames();
  check_document(file);
  check_piped_load(data, size, file);
  SdifStreamCursor residual(file.frames, "1STF");
  SdifStreamCursor sinusoids(file.frames, "1TRC");
  SdifStreamCursor pitch(file.frames, "1FQ0");
  check_cursor(residual);
  check_cursor(sinusoids);
  check_cursor(pitch);
  exercise<ResidualView>(residual);
  exercise<TrackView>(sinusoids);
  exercise<PitchView>(pitch);
  return 0;
}
