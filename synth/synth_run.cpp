// Turns the parsed command line into one synthesis: the output opened first, so that an unwritable
// target fails before any reading, then the stream read and synthesised into it, then the summary.
// Whatever fails, the output is abandoned and no file is left.
#include "cli/program_guard.h"
#include "synth/synth_run.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>
#include <string>

#include "cli/output_file.h"
#include "synth/sound_level.h"
#include "synth/synth_options.h"
#include "version.h"

namespace {

constexpr const char* PROGRAM = "sdif-synth";
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

int fail(FILE* err, const std::string& file, const std::string& reason) {
  std::fprintf(err, "%s: %s: %s\n", PROGRAM, file.c_str(), reason.c_str());
  return EXIT_FAILED;
}

std::string decibels(double factor) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", 20 * std::log10(factor));
  return text;
}

void write_summary(FILE* err, const SynthOptions& o, const StreamReport& report, const SoundLevel& level,
                   const SoundFile& file) {
  const char* container = o.container == Container::Flac ? "FLAC" : "WAV";
  std::fprintf(err, "%s\n", o.output.c_str());
  std::fprintf(err, "  sound        %.6g s, %lld samples at %d Hz, %s %s\n", double(report.samples) / o.rate,
               static_cast<long long>(report.samples), o.rate, format_name(o.format), container);
  std::fprintf(err, "  stream       %d, %llu %s frames from %.6g s to %.6g s\n", int(report.stream_id),
               static_cast<unsigned long long>(report.frames), report.type->frame_type, report.first_time,
               report.last_time);
  if (report.outcome == StreamReport::Cut)
    std::fprintf(err, "  read         the file stops inside a frame, which is left out\n");
  if (report.type->kind == SoundKind::Partials)
    std::fprintf(err, "  partials     %llu, at most %d at once\n",
                 static_cast<unsigned long long>(report.partials.started), report.partials.most_at_once);
  else
    std::fprintf(err, "  harmonics    %d, at most %d below half the sample rate\n", o.harmonics,
                 report.most_harmonics);
  if (report.partials.rows_without_index)
    std::fprintf(err, "  skipped      %llu rows without a track index\n",
                 static_cast<unsigned long long>(report.partials.rows_without_index));
  if (report.partials.rows_beyond_limit)
    std::fprintf(err, "  skipped      %llu rows past %d partials in a frame pair\n",
                 static_cast<unsigned long long>(report.partials.rows_beyond_limit), MAX_PARTIALS);
  if (report.frames_without_time)
    std::fprintf(err, "  skipped      %llu frames without a time\n",
                 static_cast<unsigned long long>(report.frames_without_time));
  if (o.normalize || o.gain_db != 0.0)
    std::fprintf(err, "  gain         %s dB%s\n", decibels(level.gain()).c_str(), o.normalize ? ", normalized" : "");
  if (level.peak() > 0.0)
    std::fprintf(err, "  peak         %s dBFS\n", decibels(level.peak()).c_str());
  else
    std::fprintf(err, "  peak         silent\n");
  if (o.format != SampleFormat::Float32)
    std::fprintf(err, "  clipped      %llu samples\n", static_cast<unsigned long long>(file.clipped()));
}

int run(const SynthOptions& o, FILE* err) {
  OutputFile output;
  std::string reason = output.open(o.output, o.input);
  if (!reason.empty()) return fail(err, o.output, reason);
  SoundFile file;
  reason = file.open(output.descriptor(), o.container, o.format, o.rate);
  if (!reason.empty()) return fail(err, o.output, reason);
  SoundLevel level(file, o.gain_db, o.normalize, NORMALIZED_PEAK_DB);
  reason = level.open();
  if (!reason.empty()) return fail(err, o.output, reason);

  SoundSettings settings;
  settings.sample_rate = o.rate;
  settings.harmonics = o.harmonics;
  settings.ranged = o.ranged;
  settings.start = o.start;
  settings.end = o.end;
  settings.max_samples = MAX_SOUND_SAMPLES;
  std::string write_failure;
  StreamReport report = synthesize_stream(o.input, o.choice, settings, [&](const float* samples, size_t count) {
    write_failure = level.take(samples, count);
    return write_failure.empty();
  });
  switch (report.outcome) {
    case StreamReport::Complete:
    case StreamReport::Cut:
      break;
    case StreamReport::Stopped:
      return fail(err, o.output, write_failure);
    case StreamReport::TooLong:
      return fail(err, o.input, "the sound would be longer than " + std::to_string(MAX_SOUND_SAMPLES) +
                                    " samples; choose a part with --time");
    default:
      return fail(err, o.input, report.reason);
  }
  reason = level.finish();
  if (reason.empty()) reason = file.close();
  if (reason.empty()) reason = output.commit();
  if (!reason.empty()) return fail(err, o.output, reason);
  write_summary(err, o, report, level, file);
  return 0;
}

}  // namespace

int synth_main(int argc, char** argv, FILE* out, FILE* err) {
  ParsedSynthCommand parsed = parse_synth_options(argc, argv);
  switch (parsed.action) {
    case ParsedSynthCommand::HELP:
      std::fputs(SYNTH_USAGE.c_str(), out);
      return 0;
    case ParsedSynthCommand::VERSION:
      std::fprintf(out, "%s %s\n", PROGRAM, SDIF_VIEWER_VERSION);
      return 0;
    case ParsedSynthCommand::USAGE_ERROR:
      std::fprintf(err, "%s: %s\nTry '%s --help' for more information.\n", PROGRAM, parsed.error.c_str(), PROGRAM);
      return EXIT_USAGE;
    case ParsedSynthCommand::RUN:
      break;
  }
  note_input(parsed.options.input.c_str());
  return run(parsed.options, err);
}
