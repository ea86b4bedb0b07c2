// Option parsing in the GNU way and the loop over the files.
#include "info/info_main.h"

#include <getopt.h>

#include "cli/program_guard.h"
#include "info/frame_listing.h"
#include "info/json_report.h"
#include "info/text_report.h"
#include "version.h"

namespace {

constexpr int EXIT_DAMAGED = 1;
constexpr int EXIT_USAGE = 2;

const char* const USAGE =
    "Usage: sdif-info [OPTION]... FILE...\n"
    "Report what SDIF analysis files hold: the file header, how far the file reads, every stream\n"
    "with its times, matrix types and the range of each column, and what the SDIF viewer shows.\n"
    "\n"
    "  --json      one JSON object per file and line, for scripts\n"
    "  --frames    list every frame and matrix first, as the file is read\n"
    "              (with --json, one JSON object per frame and line)\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "Exit status: 0 when every file reads completely or is only cut inside its last frame,\n"
    "1 when a file is missing, unreadable or damaged, 2 on a usage error.\n";

int usage_error(FILE* err, const std::string& problem) {
  std::fprintf(err, "sdif-info: %s\nTry 'sdif-info --help' for more information.\n", problem.c_str());
  return EXIT_USAGE;
}

struct Options {
  bool json = false;
  bool frames = false;
};

// Surveys one file, writes its report and says whether it reads as the viewer needs.
bool report_file(const std::string& path, const Options& options, FILE* out, FILE* err) {
  FileSurvey survey;
  if (options.json) {
    JsonFrameListing listing(out);
    survey = survey_file(path, options.frames ? &listing : nullptr);
    write_json_report(survey, out);
  } else {
    if (options.frames) {
      TextFrameListing listing(out);
      survey = survey_file(path, &listing);
    } else {
      survey = survey_file(path);
    }
    write_text_report(survey, out);
  }
  std::fflush(out);
  bool readable = survey.outcome == ReadOutcome::Complete || survey.outcome == ReadOutcome::Cut;
  if (!readable) std::fprintf(err, "sdif-info: %s: %s\n", path.c_str(), outcome_text(survey).c_str());
  return readable;
}

}  // namespace

int info_main(int argc, char** argv, FILE* out, FILE* err) {
  enum { JSON = 1, FRAMES, HELP, VERSION };
  const option long_options[] = {{"json", no_argument, nullptr, JSON},
                                 {"frames", no_argument, nullptr, FRAMES},
                                 {"help", no_argument, nullptr, HELP},
                                 {"version", no_argument, nullptr, VERSION},
                                 {nullptr, 0, nullptr, 0}};
  Options options;
  // getopt keeps its place in globals; 0 starts a fresh parse, so the function can run again.
  optind = 0;
  opterr = 0;
  int option;
  while ((option = getopt_long(argc, argv, "", long_options, nullptr)) != -1) {
    switch (option) {
      case JSON: options.json = true; break;
      case FRAMES: options.frames = true; break;
      case HELP: std::fputs(USAGE, out); return 0;
      case VERSION: std::fprintf(out, "sdif-info %s\n", SDIF_VIEWER_VERSION); return 0;
      default: return usage_error(err, std::string("unknown option '") + argv[optind - 1] + "'");
    }
  }
  if (optind == argc) return usage_error(err, "no file given");
  int status = 0;
  for (int i = optind; i < argc; i++) {
    if (!options.json && i > optind) std::fputc('\n', out);
    note_input(argv[i]);
    if (!report_file(argv[i], options, out, err)) status = EXIT_DAMAGED;
  }
  return status;
}
