// Option parsing with getopt_long, and the checks that make a meaningless value a usage error rather
// than a sound: an unknown frame type, a range that ends before it starts, a rate or a count out of
// range, an output that is neither WAV nor FLAC or a sample format FLAC cannot hold.
#include "synth/synth_options.h"

#include <getopt.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "cli/option_error.h"
#include "sdif/sdif_standard_types.h"
#include "synth/stream_synthesis.h"

const std::string SYNTH_USAGE =
    std::string("Usage: sdif-synth [OPTIONS] -o OUT.wav|OUT.flac FILE\n") + "Makes the partials (" + SDIF_TRACKS_TYPE +
    ", " + SDIF_HARMONICS_TYPE + ") or the pitch (" + SDIF_FUNDAMENTAL_TYPE + ") of an SDIF analysis heard:\n"
    "synthesises one stream of FILE into a mono WAV or FLAC file.\n"
    "\n"
    "  -o, --output OUT         the sound file, WAV or FLAC by its suffix\n"
    "      --stream ID          the stream to play (default: the stream of the first\n"
    "                           " + playable_type_names() + " frame)\n"
    "      --frame TYPE         play only frames of TYPE: " + playable_type_names() + "\n"
    "      --time START:END     the time range in seconds (default: the stream's)\n"
    "      --rate HZ            the sample rate, 1000 to 384000 (default: 44100)\n"
    "      --harmonics N        harmonics of the pitch tone, 1 to 65536 (default: 1)\n"
    "      --gain DB            scale the amplitudes, as the file stores them\n"
    "      --normalize          scale the sound so that its peak is at -1 dBFS\n"
    "      --bits 16|24|32f     the sample format (default: 32f for WAV, 24 for FLAC)\n"
    "  -h, --help               show this help and exit\n"
    "      --version            show the version and exit\n"
    "\n"
    "A summary goes to standard error. Exit status: 0 when the sound was written,\n"
    "1 when it could not be (nothing is left behind), 2 for a usage error.\n";

namespace {

enum LongOnly { STREAM = 256, FRAME, TIME, RATE, HARMONICS, GAIN, NORMALIZE, BITS, VERSION };

const option LONG_OPTIONS[] = {
    {"output", required_argument, nullptr, 'o'},
    {"stream", required_argument, nullptr, STREAM},
    {"frame", required_argument, nullptr, FRAME},
    {"time", required_argument, nullptr, TIME},
    {"rate", required_argument, nullptr, RATE},
    {"harmonics", required_argument, nullptr, HARMONICS},
    {"gain", required_argument, nullptr, GAIN},
    {"normalize", no_argument, nullptr, NORMALIZE},
    {"bits", required_argument, nullptr, BITS},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, VERSION},
    {nullptr, 0, nullptr, 0},
};

bool whole_number(const std::string& text, long long low, long long high, long long& value) {
  errno = 0;
  char* after;
  value = std::strtoll(text.c_str(), &after, 10);
  bool digits = !text.empty() && (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-');
  return digits && *after == '\0' && errno == 0 && value >= low && value <= high;
}

bool finite_number(const std::string& text, double& value) {
  char* after;
  value = std::strtod(text.c_str(), &after);
  return !text.empty() && *after == '\0' && std::isfinite(value);
}

bool ends_with(std::string text, const char* suffix) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  size_t length = std::strlen(suffix);
  return text.size() > length && text.compare(text.size() - length, length, suffix) == 0;
}

}  // namespace

ParsedSynthCommand parse_synth_options(int argc, char** argv) {
  ParsedSynthCommand parsed;
  SynthOptions& o = parsed.options;
  auto usage = [&](const std::string& error) {
    parsed.action = ParsedSynthCommand::USAGE_ERROR;
    parsed.error = error;
    return parsed;
  };
  bool bits_given = false, gain_given = false;
  std::string time_text;
  optind = 0;  // a fresh scan, also when called again in one process
  opterr = 0;
  int option;
  while ((option = getopt_long(argc, argv, ":o:h", LONG_OPTIONS, nullptr)) != -1) {
    std::string value = optarg ? optarg : "";
    long long number;
    switch (option) {
      case 'o':
        o.output = value;
        break;
      case STREAM:
        if (!whole_number(value, INT32_MIN, INT32_MAX, number)) return usage("stream '" + value + "' is not a stream ID");
        o.choice.stream = int32_t(number);
        break;
      case FRAME:
        o.choice.type = value.size() == 4 ? playable_type(value.c_str()) : nullptr;
        if (!o.choice.type) return usage("frame type '" + value + "' is not " + playable_type_names());
        break;
      case TIME: {
        size_t colon = value.find(':');
        o.ranged = colon != std::string::npos && finite_number(value.substr(0, colon), o.start) &&
                   finite_number(value.substr(colon + 1), o.end) && o.end > o.start;
        if (!o.ranged) return usage("time '" + value + "' is not START:END with END after START");
        time_text = value;
        break;
      }
      case RATE:
        if (!whole_number(value, MIN_RATE, MAX_RATE, number))
          return usage("rate '" + value + "' is not a whole number of Hz from " + std::to_string(MIN_RATE) + " to " +
                       std::to_string(MAX_RATE));
        o.rate = int(number);
        break;
      case HARMONICS:
        if (!whole_number(value, 1, MAX_HARMONICS, number))
          return usage("harmonics '" + value + "' is not a count from 1 to " + std::to_string(MAX_HARMONICS));
        o.harmonics = int(number);
        break;
      case GAIN:
        if (!finite_number(value, o.gain_db) || std::fabs(o.gain_db) > MAX_GAIN_DB)
          return usage("gain '" + value + "' is not a number of dB from -200 to 200");
        gain_given = true;
        break;
      case NORMALIZE:
        o.normalize = true;
        break;
      case BITS:
        if (value == "16") o.format = SampleFormat::Pcm16;
        else if (value == "24") o.format = SampleFormat::Pcm24;
        else if (value == "32f") o.format = SampleFormat::Float32;
        else return usage("bits '" + value + "' is not 16, 24 or 32f");
        bits_given = true;
        break;
      case 'h':
        parsed.action = ParsedSynthCommand::HELP;
        return parsed;
      case VERSION:
        parsed.action = ParsedSynthCommand::VERSION;
        return parsed;
      default:
        return usage(option_error(option, argv));
    }
  }
  if (optind == argc) return usage("no FILE given");
  if (argc - optind > 1) return usage("one FILE at a time; '" + std::string(argv[optind + 1]) + "' is another");
  o.input = argv[optind];
  if (o.output.empty()) return usage("no output given: -o OUT.wav or -o OUT.flac");
  if (ends_with(o.output, ".flac"))
    o.container = Container::Flac;
  else if (!ends_with(o.output, ".wav"))
    return usage("output '" + o.output + "' is neither OUT.wav nor OUT.flac");
  if (o.container == Container::Flac && o.format == SampleFormat::Float32) {
    if (bits_given) return usage("FLAC holds 16 or 24 bits, not floats: --bits 16 or --bits 24");
    o.format = SampleFormat::Pcm24;
  }
  if (gain_given && o.normalize) return usage("--gain and --normalize exclude each other");
  if (o.ranged && (o.end - o.start) * o.rate > double(MAX_SOUND_SAMPLES))
    return usage("time '" + time_text + "' makes more than " + std::to_string(MAX_SOUND_SAMPLES) + " samples");
  return parsed;
}
