// The chosen stream of an SDIF file read through the frame reader, one frame as the synthesizer needs
// it, and the sound handed on in blocks: what sdif-synth does between its options and its sound file.
// Its memory is the reader's buffer and the synthesizer's pair of frames, whatever the file's size.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "synthesis/synthesizer.h"

// The frame types that make a sound, the matrix of each frame that is read, and the sound. The views
// read the same matrix of the same frames; this table is sdif-synth's own, so that it links no toolkit.
struct PlayableType {
  const char* frame_type;
  int matrix;  // 0 the first
  SoundKind kind;
};
constexpr int PLAYABLE_COUNT = 3;
extern const PlayableType PLAYABLE_TYPES[PLAYABLE_COUNT];

// The entry of a 4-character frame type, or null.
const PlayableType* playable_type(const char* frame_type);
// The playable frame types for people, as a list joined by commas and a final "or".
std::string playable_type_names();

// Which stream to play: by default the stream of the first frame of a playable type; an ID, a type or
// both narrow the choice. Only frames of the stream's chosen type are read.
struct StreamChoice {
  std::optional<int32_t> stream;
  const PlayableType* type = nullptr;
};

struct StreamReport {
  enum Outcome {
    Complete,    // the stream was read to its end, or to the end of the time range
    Cut,         // the file stops inside a frame, which is left out, as the viewer leaves it
    Unreadable,  // missing, unreadable or not SDIF
    Damaged,     // a frame or matrix that cannot be read; the sound stops there
    NoStream,    // no frame of the choice
    TooLong,     // more samples than the settings allow
    Stopped,     // the sink refused a block
  } outcome = Complete;
  std::string reason;  // for the failures: what went wrong, for people

  int32_t stream_id = 0;
  const PlayableType* type = nullptr;
  uint64_t frames = 0;  // of the stream, read whole
  double first_time = 0.0, last_time = 0.0;
  int64_t samples = 0;
  uint64_t frames_without_time = 0;
  PartialCounts partials;
  int most_harmonics = 0;
};

// Gets each block of samples in order; false stops the synthesis.
using SampleSink = std::function<bool(const float* samples, size_t count)>;

// Synthesises the chosen stream of the file at `path` with `settings` (whose kind is the stream's).
StreamReport synthesize_stream(const std::string& path, const StreamChoice& choice, SoundSettings settings,
                               const SampleSink& sink);
