// The command line of sdif-synth: which stream of which file becomes which sound file. Parsed by
// parse_synth_options, which tests call directly; main only hands it argv.
#pragma once

#include <string>

#include "synth/sound_file.h"
#include "synth/stream_synthesis.h"

constexpr int DEFAULT_RATE = 44100;
// Sample rates from telephone quality to four times the studio's.
constexpr int MIN_RATE = 1000;
constexpr int MAX_RATE = 384000;
// A gain beyond this is a typing error rather than a level.
constexpr double MAX_GAIN_DB = 200.0;
// The most samples of a sound: about 6.3 hours at 44.1 kHz, and as 32-bit floats just within the
// 4 GiB that a WAV file can hold.
constexpr int64_t MAX_SOUND_SAMPLES = 1000000000;
// Where --normalize puts the peak.
constexpr double NORMALIZED_PEAK_DB = -1.0;

struct SynthOptions {
  std::string input, output;
  StreamChoice choice;
  bool ranged = false;
  double start = 0.0, end = 0.0;
  int rate = DEFAULT_RATE;
  int harmonics = 1;
  double gain_db = 0.0;
  bool normalize = false;
  Container container = Container::Wav;
  SampleFormat format = SampleFormat::Float32;
};

struct ParsedSynthCommand {
  enum Action { RUN, HELP, VERSION, USAGE_ERROR } action = RUN;
  SynthOptions options;
  std::string error;  // for USAGE_ERROR: one line, without the program's name
};

ParsedSynthCommand parse_synth_options(int argc, char** argv);

// The text of --help.
extern const std::string SYNTH_USAGE;
