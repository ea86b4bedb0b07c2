// Runs the viewer's own start-up in-process on every file of the fuzz seed corpus and on prefixes of
// a file of all three streams, and holds what sdif-info predicts against what the viewer did: the
// window with which panel showing which stream, or which message.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include <FL/Fl_Window.H>

#include <gtest/gtest.h>

#include "app/data_panel.h"
#include "app/viewer_main.h"
#include "info/file_survey.h"
#include "sdif/sdif_document.h"
#include "tests/support/fltk_driver.h"
#include "tests/support/test_files.h"
#include "views/sdif_view.h"

namespace {

// The viewer's message, or "Title=stream ID" for each panel of its window.
std::string predicted(const std::string& path) {
  FileSurvey s = survey_file(path);
  if (s.outcome == ReadOutcome::Damaged || s.outcome == ReadOutcome::Unreadable) return "Error reading file\n";
  if (!s.viewer_opens()) return "File does not contain any supported matrix types.\n";
  std::string panels;
  for (int p = 0; p < PANEL_COUNT; p++)
    if (s.has_panel[p]) panels += std::string(PANEL_TITLES[p]) + "=" + std::to_string(s.panel_stream[p]) + " ";
  return panels;
}

std::string viewed(const std::string& path) {
  std::string seen;
  when_idle([&seen] {
    if (shown_window("SDIF")) {
      const DataPanel* panels[] = {pitch_panel, sinusoids_panel, residual_panel};
      for (int p = 0; p < PANEL_COUNT; p++)
        if (panels[p])
          seen += std::string(PANEL_TITLES[p]) + "=" + std::to_string(panels[p]->view->cursor->first->stream_id) + " ";
      shown_window("SDIF")->hide();
    } else if (Fl_Window* dialog = shown_window("Ondavue Error")) {
      seen = dialog->child(1)->label();
      dialog->hide();
    }
  });
  std::string argument = path;
  char program[] = "sdif-viewer";
  char* argv[] = {program, argument.data(), nullptr};
  viewer_main(2, argv);
  return seen;
}

TEST(ViewerAgreement, EverySeedAndPrefixOpensAsPredicted) {
  std::string seeds = temp_path("seeds");
  std::filesystem::create_directory(seeds);
  ASSERT_EQ(std::system((std::string(SEEDS_TOOL) + " " + seeds).c_str()), 0);
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(seeds)) paths.push_back(entry.path());
  ASSERT_GT(paths.size(), 40u);
  // Cuts at every few bytes of a file of all three streams and another, inside headers and elements.
  std::vector<uint8_t> interleaved = file_bytes(seeds + "/interleaved.sdif");
  for (size_t length = 0; length < interleaved.size(); length += 11)
    paths.push_back(save_temp(SdifWriter().raw(interleaved.data(), length), "prefix-" + std::to_string(length)));
  paths.push_back(temp_path("missing.sdif"));
  for (const std::string& path : paths) EXPECT_EQ(predicted(path), viewed(path)) << path;
}

}  // namespace
