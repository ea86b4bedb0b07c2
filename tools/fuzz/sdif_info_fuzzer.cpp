// libFuzzer target for sdif-info: each input is reported in every output form, every JSON line must
// parse, and what sdif-info predicts must be what the viewer's loader and cursors make of the same
// bytes. Run by scripts/fuzz.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "info/file_survey.h"
#include "info/info_main.h"
#include "sdif/sdif_document.h"

namespace {

// sdif-info opens files by path; the input lives in memory and is named through its descriptor.
int input_file() {
  static const int fd = memfd_create("sdif-info-fuzz-input", 0);
  if (fd < 0) std::abort();
  return fd;
}

std::string write_input(const uint8_t* data, size_t size) {
  if (ftruncate(input_file(), 0) != 0 || pwrite(input_file(), data, size, 0) != static_cast<ssize_t>(size))
    std::abort();
  return "/proc/self/fd/" + std::to_string(input_file());
}

// Runs sdif-info with `options` and the input, and returns what it wrote on standard output.
std::string run_info(std::vector<std::string> arguments, const std::string& path) {
  arguments.insert(arguments.begin(), "sdif-info");
  arguments.push_back(path);
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  char *out_text = nullptr, *err_text = nullptr;
  size_t out_size = 0, err_size = 0;
  FILE* out = open_memstream(&out_text, &out_size);
  FILE* err = open_memstream(&err_text, &err_size);
  if (!out || !err) std::abort();
  int status = info_main(int(arguments.size()), argv.data(), out, err);
  std::fclose(out);
  std::fclose(err);
  std::string text(out_text, out_size);
  bool error_line = err_size > 0;
  std::free(out_text);
  std::free(err_text);
  if ((status != 0 && status != 1) || error_line != (status == 1)) std::abort();
  return text;
}

void check_json_lines(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  int objects = 0;
  while (std::getline(lines, line)) {
    if (!nlohmann::json::accept(line)) std::abort();
    objects++;
  }
  if (objects != 1) std::abort();
}

// The loader's verdict and the cursors' streams, from the very code the viewer starts with.
void check_agreement(const std::string& path) {
  FileSurvey survey = survey_file(path);
  SdifFile file(path.c_str(), 0);
  file.read_all_frames();
  bool readable = survey.outcome == ReadOutcome::Complete || survey.outcome == ReadOutcome::Cut;
  if (readable != (file.result == SdifCode::Ok)) std::abort();
  if (!readable) return;
  uint64_t frames = 0;
  for (const SdifFrame* frame = file.frames; frame; frame = frame->next) frames++;
  if (frames != survey.frames) std::abort();
  for (int panel = 0; panel < PANEL_COUNT; panel++) {
    SdifStreamCursor cursor(file.frames, PANEL_FRAME_TYPES[panel]);
    if (survey.has_panel[panel] != (cursor.first != nullptr)) std::abort();
    if (cursor.first && cursor.first->stream_id != survey.panel_stream[panel]) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = write_input(data, size);
  run_info({}, path);
  run_info({"--frames"}, path);
  check_json_lines(run_info({"--json"}, path));
  check_json_lines(run_info({"--json", "--frames"}, path));
  check_agreement(path);
  return 0;
}
