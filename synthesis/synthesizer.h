// A sound made from the frames of one stream, fed in the stream's order and rendered in blocks of
// float samples: the sample clock, the pair of frames around each sample, and the fades at the
// sound's edges. It keeps two frames at a time, so any length of stream takes bounded memory.
// sdif-synth feeds it from the file as it reads; the viewer can feed it from its document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "synthesis/partial_tracks.h"
#include "synthesis/pitch_tone.h"

enum class SoundKind { Partials, Pitch };

// How long the sound takes to rise where it starts and to fall where it ends, so that it neither
// starts nor stops with a click; after the stream's last frame it falls over this long.
constexpr double EDGE_FADE = 0.005;

struct SoundSettings {
  SoundKind kind = SoundKind::Partials;
  double sample_rate = 44100.0;
  int harmonics = 1;  // of a pitch tone
  // The sound's time range, in the frames' seconds. Without it the sound starts at the stream's first
  // frame and ends EDGE_FADE after its last.
  bool ranged = false;
  double start = 0.0, end = 0.0;
  // A sound that would have more samples is not made.
  int64_t max_samples = INT64_MAX;
};

class Synthesizer {
 public:
  explicit Synthesizer(const SoundSettings& settings);

  // Starts the stream's next frame at `time`. False when the time is not finite: the frame is left
  // out and takes no rows. A time before the previous frame's is taken as that frame's.
  bool begin_frame(double time);
  // A row of a partials frame: track index, frequency in Hz, linear amplitude.
  void add_partial(double index, double frequency, double amplitude);
  // The estimate of a pitch frame; a frame without one is unvoiced.
  void set_pitch(double frequency, double confidence);
  void end_frame();
  // Drops the frame begun and ends the stream before it, as finish() does.
  void cancel_frame();
  // The stream has no more frames; none is taken after this.
  void finish();

  // Writes the next samples, at most `capacity`, to `out` and returns how many. 0 when the next frame
  // is needed (render everything before feeding one), once the sound is complete, or when it is too
  // long.
  size_t render(float* out, size_t capacity);
  bool complete() const { return end_known && next >= end_sample; }
  // The frames so far reach past max_samples.
  bool too_long() const { return overlong; }

  int64_t samples_rendered() const { return next; }
  uint64_t frames_without_time() const { return timeless; }
  // For partials; all 0 for a pitch tone.
  PartialCounts partial_counts() const;
  // For a pitch tone; 0 for partials.
  int most_harmonics() const { return tone ? tone->most_harmonics() : 0; }

 private:
  // NONE: no frame yet. ONE: only the first frame, before which the sound is silent. TWO: between the
  // pair's frames. HELD: after the last frame, whose values are held while the sound falls.
  enum Pair { NONE, ONE, TWO, HELD };

  // The first sample at or after time `t`, limited to 0 and to a count that cannot overflow.
  int64_t sample_at(double t) const;
  double time_of(int64_t sample) const { return origin + double(sample) / settings.sample_rate; }
  // The weight of the pair's second frame at the sample's time: 0 at the first frame, 1 at the second.
  double weight(int64_t sample) const;
  // The sound's level at time t from its edges: 0 outside, rising and falling over EDGE_FADE.
  double edge_gain(double t) const;
  void render_pair(float* out, int samples);
  void end_stream();

  SoundSettings settings;
  std::unique_ptr<PartialTracks> partials;
  std::unique_ptr<PitchTone> tone;

  Pair pair = NONE;
  bool pending = false;  // a frame begun and not yet ended
  bool finished = false;
  double first_time = 0.0, second_time = 0.0;

  bool origin_known = false;
  double origin = 0.0;
  double sound_on = 0.0;  // where the sound starts to rise: the later of the origin and the first frame
  double sound_off;       // where it has fallen silent: the end of the range or the release's end
  int64_t next = 0;
  bool end_known = false;
  int64_t end_sample = 0;
  bool overlong = false;
  uint64_t timeless = 0;
};
