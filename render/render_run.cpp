// Turns the parsed command line into pairs of input and output, loads each input with the viewer's
// loader, paints its panels and writes the PNG. A failure with one input is reported and the others
// still go on; the exit status tells that something failed.
#include "render/render_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "cli/program_guard.h"
#include "cli/read_error.h"
#include "render/png_file.h"
#include "render/render_options.h"
#include "sdif/sdif_document.h"
#include "version.h"

namespace {

constexpr const char* PROGRAM = "sdif-render";

struct Job {
  std::string input;
  std::string output;
};

// NAME.png for DIR/NAME.png: the input's file name without its extension.
std::string picture_name(const std::string& input) {
  std::string name = input.substr(input.rfind('/') + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name + ".png";
}

bool is_folder(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Each input with its output, or a usage error: several inputs into one file, or two into one name.
bool plan_jobs(const RenderOptions& o, std::vector<Job>& jobs, std::string& error) {
  const std::string& output = o.output.value_or("");
  bool into_folder = o.thumbnail == 0 && (output.empty() || output.back() == '/' || is_folder(output));
  if (!into_folder && o.files.size() > 1) {
    error = "-o " + output + " names one file; give a folder (-o DIR/) for several FILEs";
    return false;
  }
  std::string folder = output.empty() || output.back() == '/' ? output : output + "/";
  std::map<std::string, std::string> input_of;
  for (const std::string& input : o.files) {
    std::string path = into_folder ? folder + picture_name(input) : output;
    auto [place, fresh] = input_of.emplace(path, input);
    if (!fresh) {
      error = place->second + " and " + input + " would both be written to " + path;
      return false;
    }
    jobs.push_back({input, path});
  }
  return true;
}

// Each panel's height, and the width, of a thumbnail that fits `bound` square with the proportions
// of the picture at the viewer's sizes.
int fit_thumbnail(int bound, std::vector<PanelPicture>& panels) {
  int n = int(panels.size());
  double full_width = DEFAULT_VIEW_WIDTH;
  double full_height = n * DEFAULT_VIEW_HEIGHT + (n - 1) * SEPARATOR_ROWS;
  double scale = bound / std::max(full_width, full_height);
  int view_rows = int(std::lround(full_height * scale)) - (n - 1) * SEPARATOR_ROWS;
  for (int i = 0; i < n; ++i) panels[size_t(i)].height = std::max(1, view_rows / n + (i < view_rows % n));
  return std::max(1, int(std::lround(full_width * scale)));
}

class FileRun {
 public:
  FileRun(const Job& job, const RenderOptions& options, std::ostream& err) : job(job), o(options), err(err) {}

  bool run() {
    note_input(job.input.c_str());
    if (o.thumbnail && !small_enough()) return false;
    SdifFile file(job.input.c_str(), 0);
    if (file.result == SdifCode::Ok) file.read_all_frames();
    if (file.result != SdifCode::Ok) return fail(job.input, read_error_text(file.result, file.error_number));

    PanelCursors cursors(file.frames);
    std::vector<PanelPicture> panels;
    for (int band = 0; band < PANEL_COUNT; ++band) {
      const PanelSpec& panel = PANELS[band];
      if ((o.view && o.view != &panel) || !cursors[band].last || (o.stream && !cursors.follow(band, *o.stream)))
        continue;
      PanelControls controls = controls_for(panel, cursors[band], o.ranges);
      for (const std::string& warning : controls.warnings)
        err << PROGRAM << ": " << job.input << ": " << warning << '\n';
      if (!controls.error.empty()) return fail(job.input, controls.error);
      panels.push_back({&panel, &cursors[band], controls.controls, o.height});
    }
    if (panels.empty()) return fail(job.input, missing_streams());

    int width = o.thumbnail ? fit_thumbnail(o.thumbnail, panels) : o.width;
    RgbImage image = paint_panels(panels, width);
    std::string reason = write_png(image, job.output, o.thumbnail ? THUMBNAIL_ENCODING : PICTURE_ENCODING, job.input);
    return reason.empty() || fail(job.output, reason);
  }

 private:
  bool fail(const std::string& file, const std::string& reason) {
    err << PROGRAM << ": " << file << ": " << reason << '\n';
    return false;
  }

  // Only a regular file of bounded size: a thumbnailer must not wait on a pipe or load a huge file.
  bool small_enough() {
    struct stat status;
    if (stat(job.input.c_str(), &status) != 0) return fail(job.input, std::strerror(errno));
    if (!S_ISREG(status.st_mode)) return fail(job.input, "not a regular file; no thumbnail");
    if (status.st_size <= MAX_THUMBNAIL_INPUT) return true;
    return fail(job.input, std::to_string(status.st_size >> 20) + " MiB is over the thumbnail limit of " +
                               std::to_string(MAX_THUMBNAIL_INPUT >> 20) + " MiB");
  }

  std::string missing_streams() const {
    std::string in = o.stream ? " in stream " + std::to_string(*o.stream) : "";
    if (o.view) return std::string("has no ") + o.view->title + " stream (" + o.view->frame_type + " frames" + in + ")";
    if (o.stream) return "has no frames of the panels' types" + in;
    std::string names;
    for (int band = 0; band < PANEL_COUNT; ++band)
      names += std::string(band == 0 ? "" : band + 1 == PANEL_COUNT ? " and " : ", ") + PANELS[band].title + " (" +
               PANELS[band].frame_type + ")";
    return "has none of the " + names + " streams";
  }

  const Job& job;
  const RenderOptions& o;
  std::ostream& err;
};

}  // namespace

int render_main(int argc, char** argv, std::ostream& out, std::ostream& err) {
  ParsedCommandLine parsed = parse_render_options(argc, argv);
  std::vector<Job> jobs;
  if (parsed.action == ParsedCommandLine::RENDER && !plan_jobs(parsed.options, jobs, parsed.error))
    parsed.action = ParsedCommandLine::USAGE_ERROR;
  switch (parsed.action) {
    case ParsedCommandLine::HELP:
      out << RENDER_USAGE;
      return 0;
    case ParsedCommandLine::VERSION:
      out << PROGRAM << ' ' << SDIF_VIEWER_VERSION << '\n';
      return 0;
    case ParsedCommandLine::USAGE_ERROR:
      err << PROGRAM << ": " << parsed.error << "\nTry '" << PROGRAM << " --help' for more information.\n";
      return 2;
    case ParsedCommandLine::RENDER:
      break;
  }
  for (const std::string& warning : parsed.warnings) err << PROGRAM << ": " << warning << '\n';
  bool all_written = true;
  for (const Job& job : jobs) all_written = FileRun(job, parsed.options, err).run() && all_written;
  return all_written ? 0 : 1;
}
