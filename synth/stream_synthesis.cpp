// The read loop: frames of other streams and types are passed over, each chosen frame's matrix is
// read in pieces of a fixed size and its rows fed to the synthesizer, and everything the synthesizer
// can render before the next frame goes to the sink before that frame is read.
#include "cli/read_error.h"
#include "synth/stream_synthesis.h"

#include <cstring>

#include "sdif/sdif_frame_reader.h"
#include "sdif/sdif_standard_types.h"

const PlayableType PLAYABLE_TYPES[PLAYABLE_COUNT] = {
    {SDIF_TRACKS_TYPE, 0, SoundKind::Partials},
    {SDIF_HARMONICS_TYPE, 0, SoundKind::Partials},
    {SDIF_FUNDAMENTAL_TYPE, 0, SoundKind::Pitch},
};

std::string playable_type_names() {
  std::string names;
  for (int i = 0; i < PLAYABLE_COUNT; ++i)
    names += std::string(i == 0 ? "" : i + 1 == PLAYABLE_COUNT ? " or " : ", ") + PLAYABLE_TYPES[i].frame_type;
  return names;
}

const PlayableType* playable_type(const char* frame_type) {
  for (const PlayableType& type : PLAYABLE_TYPES)
    if (SDIF_SameType(type.frame_type, frame_type)) return &type;
  return nullptr;
}

namespace {

// Elements read at a time; a row may straddle two pieces.
constexpr size_t PIECE = 4096;
// Samples handed to the sink at a time.
constexpr size_t BLOCK = 4096;

// The columns of a row that the sound reads: index, frequency and amplitude of a partial, or
// frequency and confidence of a pitch estimate.
constexpr int32_t PARTIAL_COLUMNS = 3;
constexpr int32_t PITCH_COLUMNS = 2;

class StreamReader {
 public:
  StreamReader(const std::string& path, const StreamChoice& choice, const SoundSettings& settings,
               const SampleSink& sink)
      : reader(path.c_str()), choice(choice), settings(settings), sink(sink) {}

  StreamReport run() {
    if (reader.result != SdifCode::Ok) return unreadable();
    SdifFrameHeader frame;
    while (reader.next_frame(&frame) == SdifCode::Ok) {
      if (!chosen(frame)) continue;
      if (!synthesizer->begin_frame(frame.time)) {
        report.frames++;  // its rows are passed over with the frame
        continue;
      }
      if (!read_rows()) break;
      synthesizer->end_frame();
      report.frames++;
      if (!timed_frames++) report.first_time = frame.time;
      report.last_time = frame.time;
      if (!drain()) return finish(StreamReport::Stopped, "");
      if (synthesizer->complete() || synthesizer->too_long()) break;
    }
    if (reader.result != SdifCode::Ok && reader.result != SdifCode::EndOfData) {
      if (!reader.stopped_at_end())
        return finish(StreamReport::Damaged, "damaged at byte " + std::to_string(reader.failure_offset) + ": " +
                                                 read_error_text(reader.result, reader.error_number));
      report.outcome = StreamReport::Cut;
    }
    if (!synthesizer) return finish(StreamReport::NoStream, missing());
    synthesizer->finish();
    if (!drain()) return finish(StreamReport::Stopped, "");
    if (synthesizer->too_long()) return finish(StreamReport::TooLong, "");
    return finish(report.outcome, "");
  }

 private:
  StreamReport unreadable() {
    report.outcome = StreamReport::Unreadable;
    if (reader.result == SdifCode::CLibraryError)
      report.reason = std::strerror(reader.error_number);
    else
      report.reason = "not a readable SDIF file: " + read_error_text(reader.result, reader.error_number);
    return report;
  }

  // Whether the frame belongs to the stream played; the first one that does fixes the stream and type.
  bool chosen(const SdifFrameHeader& frame) {
    if (synthesizer) return frame.stream_id == report.stream_id && SDIF_SameType(frame.type, report.type->frame_type);
    const PlayableType* type = playable_type(frame.type);
    if (!type || (choice.type && type != choice.type) || (choice.stream && frame.stream_id != *choice.stream))
      return false;
    report.stream_id = frame.stream_id;
    report.type = type;
    settings.kind = type->kind;
    synthesizer.emplace(settings);
    return true;
  }

  // Feeds the rows of the frame's matrix to the synthesizer; false when the file fails.
  bool read_rows() {
    SdifMatrixHeader matrix;
    for (int m = 0; m <= report.type->matrix; ++m) {
      SdifResult code = reader.next_matrix(&matrix);
      if (code == SdifCode::EndOfData) return true;
      if (code != SdifCode::Ok) return false;
    }
    bool partials = report.type->kind == SoundKind::Partials;
    int32_t needed = partials ? PARTIAL_COLUMNS : 1;
    if (matrix.columns < needed || matrix.rows == 0) return true;
    int32_t columns = matrix.columns;
    double row[PARTIAL_COLUMNS] = {};
    if (!partials && columns < PITCH_COLUMNS) row[1] = 1.0;  // an estimate without a confidence is sure
    return SDIF_VisitNumeric(matrix.data_type, true, [&](auto type) {
      using Element = decltype(type);
      Element piece[PIECE];
      size_t count;
      int32_t column = 0;
      while (reader.next_elements(piece, PIECE, &count) == SdifCode::Ok && count > 0) {
        for (size_t i = 0; i < count; ++i) {
          if (column < PARTIAL_COLUMNS) row[column] = double(piece[i]);
          if (++column < columns) continue;
          column = 0;
          if (!partials) {
            synthesizer->set_pitch(row[0], row[1]);
            return true;  // only the first row is the estimate; the frame's others are passed over
          }
          synthesizer->add_partial(row[0], row[1], row[2]);
        }
      }
      return reader.result == SdifCode::Ok;
    });
  }

  bool drain() {
    float block[BLOCK];
    size_t count;
    while ((count = synthesizer->render(block, BLOCK)) > 0)
      if (!sink(block, count)) return false;
    return true;
  }

  std::string missing() const {
    std::string types = choice.type ? choice.type->frame_type : playable_type_names();
    if (choice.stream) return "has no " + types + " frames in stream " + std::to_string(*choice.stream);
    return "has no " + types + " frames";
  }

  StreamReport finish(StreamReport::Outcome outcome, const std::string& reason) {
    report.outcome = outcome;
    report.reason = reason;
    if (synthesizer) {
      report.samples = synthesizer->samples_rendered();
      report.frames_without_time = synthesizer->frames_without_time();
      report.partials = synthesizer->partial_counts();
      report.most_harmonics = synthesizer->most_harmonics();
    }
    return report;
  }

  SdifFrameReader reader;
  const StreamChoice& choice;
  SoundSettings settings;
  const SampleSink& sink;
  std::optional<Synthesizer> synthesizer;
  StreamReport report;
  uint64_t timed_frames = 0;
};

}  // namespace

StreamReport synthesize_stream(const std::string& path, const StreamChoice& choice, SoundSettings settings,
                               const SampleSink& sink) {
  return StreamReader(path, choice, settings, sink).run();
}
