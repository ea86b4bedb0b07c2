// libFuzzer target for sdif-info: each input is reported in every output form, every JSON line must
// parse, no run may hold more heap than sdif-info's bound, and what sdif-info predicts must be what
// the viewer's loader and cursors make of the same bytes. Run by scripts/fuzz.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "info/file_survey.h"
#include "sdif/sdif_document.h"
#include "tests/info/info_run.h"
#include "tools/fuzz/fuzz_input.h"

namespace {

// sdif-info's memory bound; its output, which the runner keeps in memory, counts against it too.
constexpr size_t HEAP_BOUND = size_t(32) << 20;

// The largest track index the track view reads from the cursor's stream, the plain way: every row of
// every matrix that it reads.
std::optional<int32_t> largest_track_index(const SdifStreamCursor& cursor) {
  std::optional<int32_t> largest;
  for (const SdifFrame* frame = cursor.first; frame; frame = frame->next_in_stream) {
    const SdifMatrix* matrix = panel_matrix(panel_spec(VIEW_TRACKS), *frame);
    for (int row = 0; matrix && matrix->columns >= 3 && row < matrix->rows; row++)
      matrix->with_elements([&](auto elements) {
        int32_t index;
        if (elements.as_int(0, row, index) && (!largest || index > *largest)) largest = index;
      });
  }
  return largest;
}

// The loader's verdict, the cursors' streams and what the views read of them, from the very code the
// viewer starts with.
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
    SdifStreamCursor cursor(file.frames, PANELS[panel].frame_type);
    if (survey.has_panel[panel] != (cursor.first != nullptr)) std::abort();
    if (cursor.first && cursor.first->stream_id != survey.panel_stream[panel]) std::abort();
    auto stream = std::find_if(survey.streams.begin(), survey.streams.end(),
                               [&](const StreamSurvey& s) { return cursor.first && s.id == cursor.first->stream_id; });
    if (stream == survey.streams.end()) continue;
    if (PANELS[panel].kind == VIEW_TRACKS && stream->largest_track_index != largest_track_index(cursor)) std::abort();
    if (PANELS[panel].kind == VIEW_RESIDUAL && stream->bins != int32_t(full_vertical_range(PANELS[panel], cursor)))
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  watch_heap();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = write_input(data, size);
  // Exit status 1 exactly when an error line was written; with --json, one object per line: one for
  // the file, after one per frame with --frames.
  const std::vector<std::string> forms[] = {{}, {"--frames"}, {"--json"}, {"--json", "--frames"}};
  for (std::vector<std::string> arguments : forms) {
    bool json = !arguments.empty() && arguments[0] == "--json";
    bool frames = arguments.size() == 2;
    arguments.push_back(path);
    size_t before = peak_heap_from_now();
    InfoRun run = run_info(arguments);
    if (peak_heap - before > HEAP_BOUND) std::abort();
    if ((run.status != 0 && run.status != 1) || run.err.empty() == (run.status == 1)) std::abort();
    if (!json) continue;
    if (run.out.empty() || run.out.back() != '\n') std::abort();
    size_t lines = 0;
    for (size_t start = 0, end; (end = run.out.find('\n', start)) != std::string::npos; start = end + 1, ++lines)
      if (!nlohmann::json::accept(run.out.substr(start, end - start))) std::abort();
    if (!frames && lines != 1) std::abort();
  }
  check_agreement(path);
  return 0;
}
