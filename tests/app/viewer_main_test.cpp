// Tests of start-up in-process: what each file leads to (the message or the panels, and the exit
// status) held against sdif-info's prediction on every fuzz seed and on prefixes of a file of all
// three streams; that the main window is never shown after a failure; and the chooser's filter.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Browser.H>
#include <FL/Fl_File_Chooser.H>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "app/data_panel.h"
#include "app/viewer_main.h"
#include "info/file_survey.h"
#include "tests/support/fltk_driver.h"
#include "tests/support/test_files.h"
#include "views/sdif_view.h"

namespace {

struct ViewerRun {
  std::string chooser_pick;  // chosen in the chooser, if it opens; empty cancels it
  std::vector<std::string> chooser_listing;
  // The error dialog's message, or "Title=stream ID@top" for each panel of the main window, then the
  // exit status.
  std::string shown;
};

Fl_File_Browser* file_browser(Fl_Group* group) {
  for (int i = 0; i < group->children(); i++) {
    if (auto* browser = dynamic_cast<Fl_File_Browser*>(group->child(i))) return browser;
    if (Fl_Group* inner = group->child(i)->as_group())
      if (Fl_File_Browser* browser = file_browser(inner)) return browser;
  }
  return nullptr;
}

// Watches the toolkit's windows while viewer_main runs: records and dismisses the dialog, answers the
// chooser, and closes the main window once it has been checked.
void watch(ViewerRun* run, int step) {
  when_idle([run, step] {
    if (Fl_Window* main_window = shown_window("SDIF")) {
      EXPECT_EQ(std::make_pair(main_window->w(), main_window->h()), std::make_pair(450, 450));
      EXPECT_EQ(main_window->resizable(), main_window) << "the panels follow a resize of the window";
      const DataPanel* panels[] = {pitch_panel, sinusoids_panel, residual_panel};
      int children = 0;
      for (int p = 0; p < PANEL_COUNT; p++) {
        if (!panels[p]) continue;
        EXPECT_EQ(main_window->child(children++), panels[p]);
        run->shown += std::string(PANELS[p].title) + "=" + std::to_string(panels[p]->view->cursor->first->stream_id) +
                      "@" + std::to_string(panels[p]->y()) + " ";
      }
      EXPECT_EQ(main_window->children(), children) << "nothing but the panels";
      main_window->hide();
    } else if (Fl_Window* dialog = shown_window("Ondavue Error")) {
      run->shown = dialog->child(1)->label();
      dialog->hide();
    } else {
      if (Fl_Window* chooser = shown_window("Select SDIF file")) {
        Fl_File_Chooser* files = static_cast<Fl_File_Chooser*>(chooser->user_data());
        files->directory(temp_path("choices").c_str());
        Fl_File_Browser* browser = file_browser(chooser);
        for (int line = 1; line <= browser->size(); line++) run->chooser_listing.push_back(browser->text(line));
        files->value(run->chooser_pick.c_str());
        chooser->hide();
      }
      if (step < 20) watch(run, step + 1);
    }
  });
}

ViewerRun run_viewer(const std::string& path, const std::string& pick = "") {
  ViewerRun run;
  run.chooser_pick = pick;
  watch(&run, 0);
  std::string argument = path;
  char program[] = "sdif-viewer";
  char* argv[] = {program, argument.data(), nullptr};
  run.shown += " status " + std::to_string(viewer_main(path.empty() ? 1 : 2, argv));
  EXPECT_TRUE(shown_windows().empty());
  EXPECT_EQ(pitch_panel, nullptr) << "the panels went with the window";
  EXPECT_EQ(sinusoids_panel, nullptr);
  EXPECT_EQ(residual_panel, nullptr);
  return run;
}

// What the viewer must show for the file as sdif-info predicts it, in the form run_viewer() reports.
std::string predicted(const std::string& path) {
  FileSurvey s = survey_file(path);
  if (s.outcome == ReadOutcome::Damaged || s.outcome == ReadOutcome::Unreadable)
    return std::string(READ_ERROR_MESSAGE) + " status 1";
  if (!s.viewer_opens()) return std::string(NO_TYPES_MESSAGE) + " status 1";
  std::string panels;
  for (int p = 0; p < PANEL_COUNT; p++)
    if (s.has_panel[p])
      panels += std::string(PANELS[p].title) + "=" + std::to_string(s.panel_stream[p]) + "@" + std::to_string(150 * p) + " ";
  return panels + " status 0";
}

SdifWriter frames_of(std::vector<const char*> types) {
  SdifWriter w;
  w.file_header();
  for (const char* type : types) w.begin_frame(type, 0, 1, 1).matrix_f32(type, 1, 1, {0.5f}).end_frame();
  return w;
}

}  // namespace

TEST(ViewerMain, EverySeedAndPrefixOpensAsPredicted) {
  std::string seeds = temp_path("seeds");
  std::filesystem::create_directory(seeds);
  ASSERT_EQ(std::system((std::string(SEEDS_TOOL) + " " + seeds).c_str()), 0);
  std::vector<std::string> paths = {temp_path("missing.sdif"), temp_path(""),
                                    save_temp(frames_of({"1ENV", "1TRD"}), "envelope.sdif")};
  for (const auto& entry : std::filesystem::directory_iterator(seeds)) paths.push_back(entry.path());
  ASSERT_GT(paths.size(), 40u);
  // Cuts at every few bytes of a file of all three streams and another, inside headers and elements.
  std::vector<uint8_t> interleaved = file_bytes(seeds + "/interleaved.sdif");
  for (size_t length = 0; length < interleaved.size(); length += 11)
    paths.push_back(save_temp(SdifWriter().raw(interleaved.data(), length), "prefix-" + std::to_string(length)));
  for (const std::string& path : paths) EXPECT_EQ(run_viewer(path).shown, predicted(path)) << path;
}

TEST(ViewerMain, FileFromTheChooser) {
  std::string folder = temp_path("choices");
  std::filesystem::create_directory(folder);
  for (const char* name : {"a.sdf", "b.sdif", "c.txt", "d.sdiff"})
    save_temp(frames_of({"1FQ0"}), std::string("choices/") + name);
  ViewerRun picked = run_viewer("", folder + "/b.sdif");
  EXPECT_EQ(picked.chooser_listing, (std::vector<std::string>{"../", "a.sdf", "b.sdif"})) << "both extensions only";
  EXPECT_EQ(picked.shown, "Pitch=1@0  status 0");
  // A cancelled chooser, or a folder chosen, ends quietly.
  for (std::string pick : {std::string(), folder})
    EXPECT_EQ(run_viewer("", pick).shown, std::string(NO_FILE_MESSAGE) + " status 0");
}
