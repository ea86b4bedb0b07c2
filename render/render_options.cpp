// Option parsing with getopt_long, and the checks that make a meaningless value a usage error
// rather than a picture: a range that ends before it starts, a size of 0, an unknown view.
#include "render/render_options.h"
#include "cli/option_error.h"

#include <getopt.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char* const RENDER_USAGE =
    "Usage: sdif-render [OPTIONS] FILE...\n"
    "       sdif-render --thumbnail SIZE FILE OUT\n"
    "Paints the SDIF viewer's pictures of each FILE into an 8-bit RGB PNG file.\n"
    "\n"
    "  -o, --output OUT.png     the picture of the one FILE\n"
    "  -o, --output DIR/        DIR/NAME.png for each FILE (default: NAME.png here)\n"
    "      --view VIEW          pitch, sinusoids, residual or all (default: all, the\n"
    "                           panels the file has, stacked as in the viewer)\n"
    "      --size WxH           the size of each view (default: 430x110)\n"
    "      --time START:END     the time range in seconds\n"
    "      --vertical LOW:HIGH  the vertical range in each view's units: 0-1000 for\n"
    "                           pitch, Hz for sinusoids, bins for residual\n"
    "      --cube               the view's vertical size is the cube of the range's share\n"
    "      --contrast C         the contrast, 0 to 1; with --amplitude db the floor, from\n"
    "                           -20 dB at 0 to -120 dB at 1\n"
    "      --scale SCALE        the vertical scale: linear, log (from 20 Hz, or from bin\n"
    "                           1) or note (log, its grid on notes) (default: linear)\n"
    "      --amplitude MAPPING  curve (the contrast curve) or db (default: curve)\n"
    "      --colormap MAP       ramp, viridis, magma, inferno or gray (default: ramp)\n"
    "      --grid               a grid over each view: time lines and value lines, labelled\n"
    "      --stream ID          the panels with frames of their type in stream ID, showing\n"
    "                           it (default: each panel's stream, its type's first)\n"
    "      --thumbnail SIZE     a preview of FILE that fits SIZE x SIZE, written to OUT\n"
    "  -h, --help               show this help and exit\n"
    "      --version            show the version and exit\n"
    "\n"
    "Without options a view shows what the viewer shows on opening. Ranges reaching\n"
    "outside a stream's are limited to it. Exit status: 0 when every picture was\n"
    "written, 1 when one could not be, 2 for a usage error.\n";

namespace {

enum LongOnly { VIEW = 256, SIZE, TIME, VERTICAL, CUBE, CONTRAST, SCALE, AMPLITUDE, COLORMAP, STREAM, GRID, THUMBNAIL, VERSION };

const option LONG_OPTIONS[] = {
    {"output", required_argument, nullptr, 'o'},
    {"view", required_argument, nullptr, VIEW},
    {"size", required_argument, nullptr, SIZE},
    {"time", required_argument, nullptr, TIME},
    {"vertical", required_argument, nullptr, VERTICAL},
    {"cube", no_argument, nullptr, CUBE},
    {"contrast", required_argument, nullptr, CONTRAST},
    {"scale", required_argument, nullptr, SCALE},
    {"amplitude", required_argument, nullptr, AMPLITUDE},
    {"colormap", required_argument, nullptr, COLORMAP},
    {"stream", required_argument, nullptr, STREAM},
    {"grid", no_argument, nullptr, GRID},
    {"thumbnail", required_argument, nullptr, THUMBNAIL},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, VERSION},
    {nullptr, 0, nullptr, 0},
};

bool whole_number(const char* text, char end, long& value, const char** rest) {
  errno = 0;
  char* after;
  value = std::strtol(text, &after, 10);
  *rest = after;
  return std::isdigit(static_cast<unsigned char>(text[0])) && *after == end && errno == 0;
}

bool finite_number(const std::string& text, double& value) {
  char* after;
  value = std::strtod(text.c_str(), &after);
  return !text.empty() && *after == '\0' && std::isfinite(value);
}

bool parse_side(const char* text, char end, int& side, const char** rest) {
  long value;
  if (!whole_number(text, end, value, rest) || value < 1 || value > MAX_SIDE) return false;
  side = int(value);
  return true;
}

// "LOW:HIGH" with HIGH above LOW.
bool parse_range(const char* text, UnitRange& range) {
  const char* colon = std::strchr(text, ':');
  return colon && finite_number(std::string(text, colon), range.low) && finite_number(colon + 1, range.high) &&
         range.high > range.low;
}

// Sets `chosen` to the choice named `name`; false when none is.
template <class Choice, size_t N>
bool choose(const std::string& name, const Choice (&choices)[N], const char* (*name_of)(Choice), Choice& chosen) {
  for (Choice choice : choices) {
    if (name != name_of(choice)) continue;
    chosen = choice;
    return true;
  }
  return false;
}

// The names of the choices, for a usage error: "a, b or c".
template <class Choice, size_t N>
std::string names(const Choice (&choices)[N], const char* (*name_of)(Choice)) {
  std::string text;
  for (size_t i = 0; i < N; ++i) text += std::string(i == 0 ? "" : i + 1 == N ? " or " : ", ") + name_of(choices[i]);
  return text;
}

// Sets `view` for a --view name: a panel's title in lower case, or "all" for every panel. False for
// any other name.
bool set_view(const std::string& name, const PanelSpec*& view) {
  view = nullptr;
  if (name == "all") return true;
  for (const PanelSpec& panel : PANELS) {
    std::string title = panel.title;
    for (char& c : title) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (name == title) view = &panel;
  }
  return view != nullptr;
}

}  // namespace

ParsedCommandLine parse_render_options(int argc, char** argv) {
  ParsedCommandLine parsed;
  RenderOptions& o = parsed.options;
  auto usage = [&](const std::string& error) {
    parsed.action = ParsedCommandLine::USAGE_ERROR;
    parsed.error = error;
    return parsed;
  };
  optind = 0;  // a fresh scan, also when called again in one process
  opterr = 0;
  int option;
  while ((option = getopt_long(argc, argv, ":o:h", LONG_OPTIONS, nullptr)) != -1) {
    std::string value = optarg ? optarg : "";
    const char* rest;
    switch (option) {
      case 'o':
        if (value.empty()) return usage("the output name is empty");
        o.output = value;
        break;
      case VIEW:
        if (!set_view(value, o.view)) return usage("unknown view '" + value + "' (pitch, sinusoids, residual or all)");
        break;
      case SIZE:
        if (!parse_side(optarg, 'x', o.width, &rest) || !parse_side(rest + 1, '\0', o.height, &rest))
          return usage("size '" + value + "' is not WIDTHxHEIGHT, each 1 to " + std::to_string(MAX_SIDE));
        o.size_given = true;
        break;
      case TIME:
        o.ranges.time.emplace();
        if (!parse_range(optarg, *o.ranges.time))
          return usage("time '" + value + "' is not START:END with END after START");
        break;
      case VERTICAL:
        o.ranges.vertical.emplace();
        if (!parse_range(optarg, *o.ranges.vertical))
          return usage("vertical range '" + value + "' is not LOW:HIGH with HIGH above LOW");
        break;
      case CUBE:
        o.ranges.cube = true;
        break;
      case CONTRAST: {
        double contrast;
        if (!finite_number(value, contrast)) return usage("contrast '" + value + "' is not a number");
        if (contrast < 0.0 || contrast > 1.0) {
          contrast = contrast < 0.0 ? 0.0 : 1.0;
          parsed.warnings.push_back("contrast " + value + " limited to " + (contrast > 0.0 ? "1" : "0"));
        }
        o.ranges.contrast = float(contrast);
        break;
      }
      case SCALE:
        if (!choose(value, VERTICAL_SCALES, vertical_scale_name, o.ranges.scale))
          return usage("unknown scale '" + value + "' (" + names(VERTICAL_SCALES, vertical_scale_name) + ")");
        break;
      case AMPLITUDE:
        if (!choose(value, AMPLITUDE_SCALES, amplitude_scale_name, o.ranges.amplitude))
          return usage("unknown amplitude mapping '" + value + "' (" + names(AMPLITUDE_SCALES, amplitude_scale_name) +
                       ")");
        break;
      case COLORMAP:
        if (!choose(value, COLOR_MAPS, color_map_name, o.ranges.color_map))
          return usage("unknown colour map '" + value + "' (" + names(COLOR_MAPS, color_map_name) + ")");
        break;
      case GRID:
        o.ranges.grid = true;
        break;
      case STREAM: {
        long id;
        const char* end;
        bool negative = value.size() > 1 && value[0] == '-';
        if (!whole_number(optarg + negative, '\0', id, &end) || id > (negative ? 2147483648L : 2147483647L))
          return usage("stream '" + value + "' is not a stream ID");
        o.stream = int32_t(negative ? -id : id);
        break;
      }
      case THUMBNAIL:
        if (!parse_side(optarg, '\0', o.thumbnail, &rest) || o.thumbnail < MIN_THUMBNAIL)
          return usage("thumbnail size '" + value + "' is not a number of pixels from " +
                       std::to_string(MIN_THUMBNAIL) + " to " + std::to_string(MAX_SIDE));
        break;
      case 'h':
        parsed.action = ParsedCommandLine::HELP;
        return parsed;
      case VERSION:
        parsed.action = ParsedCommandLine::VERSION;
        return parsed;
      default:
        return usage(option_error(option, argv));
    }
  }
  o.files.assign(argv + optind, argv + argc);
  if (o.thumbnail) {
    if (o.output || o.size_given) return usage("--thumbnail takes neither -o nor --size: its output is OUT");
    if (o.files.size() != 2) return usage("--thumbnail SIZE takes FILE and OUT");
    o.output = o.files.back();
    o.files.pop_back();
    return parsed;
  }
  if (o.files.empty()) return usage("no FILE given");
  return parsed;
}
