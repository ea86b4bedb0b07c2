// Tests of start-up in-process: which dialog each kind of file leads to, that the main window is
// never shown after a failure, the window of a valid file, and the exit status of every path.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Browser.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Window.H>

#include <filesystem>

#include <gtest/gtest.h>

#include "app/data_panel.h"
#include "app/viewer_main.h"
#include "tests/support/fltk_driver.h"
#include "tests/support/temp_dir.h"
#include "tools/testfiles/sdif_writer.h"

namespace {

struct ViewerRun {
  std::string chooser_folder;  // shown in the chooser, if it opens
  std::string chooser_pick;    // chosen in it; empty cancels it
  std::vector<std::string> chooser_listing;
  int status = -1;
  std::string message;  // of the error dialog, if one was shown
  int dialog_width = 0;
  bool main_window_seen = false;
  std::vector<int> panel_tops;  // of the main window's children, which must all be data panels
};

// The file names the chooser lists, once it has read `folder`.
std::vector<std::string> chooser_listing(Fl_Window* chooser_window, const std::string& folder) {
  Fl_File_Chooser* chooser = static_cast<Fl_File_Chooser*>(chooser_window->user_data());
  chooser->directory(folder.c_str());
  std::vector<std::string> names;
  std::vector<Fl_Group*> groups{chooser_window};
  while (!groups.empty()) {
    Fl_Group* group = groups.back();
    groups.pop_back();
    for (int i = 0; i < group->children(); i++) {
      if (Fl_File_Browser* browser = dynamic_cast<Fl_File_Browser*>(group->child(i)))
        for (int line = 1; line <= browser->size(); line++) names.push_back(browser->text(line));
      else if (Fl_Group* inner = group->child(i)->as_group())
        groups.push_back(inner);
    }
  }
  return names;
}

// Watches the toolkit's windows while viewer_main runs: records the dialog and dismisses it, and
// closes the main window once it has been checked.
void watch(ViewerRun* run, int step) {
  when_idle([run, step] {
    if (Fl_Window* main_window = shown_window("SDIF")) {
      run->main_window_seen = true;
      EXPECT_EQ(main_window->w(), 450);
      EXPECT_EQ(main_window->h(), 450);
      EXPECT_NE(dynamic_cast<Fl_Double_Window*>(main_window), nullptr);
      EXPECT_EQ(main_window->resizable(), main_window) << "the panels follow a resize of the window";
      for (int i = 0; i < main_window->children(); i++) {
        EXPECT_NE(dynamic_cast<DataPanel*>(main_window->child(i)), nullptr);
        run->panel_tops.push_back(main_window->child(i)->y());
      }
      main_window->hide();
      return;
    }
    if (Fl_Window* dialog = shown_window("Ondavue Error")) {
      run->message = dialog->child(1)->label();
      run->dialog_width = dialog->w();
      dialog->hide();
      return;
    }
    if (Fl_Window* chooser = shown_window("Select SDIF file")) {
      if (!run->chooser_folder.empty()) run->chooser_listing = chooser_listing(chooser, run->chooser_folder);
      static_cast<Fl_File_Chooser*>(chooser->user_data())->value(run->chooser_pick.c_str());
      chooser->hide();
      if (step < 20) watch(run, step + 1);
      return;
    }
    if (step < 20) watch(run, step + 1);
  });
}

ViewerRun run_viewer(const std::string& path, ViewerRun run = ViewerRun()) {
  watch(&run, 0);
  std::string argument = path;
  char program[] = "sdif-viewer";
  char* argv[] = {program, argument.data(), nullptr};
  run.status = viewer_main(path.empty() ? 1 : 2, argv);
  EXPECT_TRUE(shown_windows().empty());
  return run;
}

}  // namespace

TEST(ViewerMain, UnreadableFilesReportErrorReadingFile) {
  SdifWriter wrong_version;
  wrong_version.file_header(8, 2, 1);
  SdifWriter bad_matrix;
  bad_matrix.file_header().begin_frame("1TRC", 0, 1, 1).matrix_header("1TRC", 0x0003, 1, 4).u32(0).end_frame();
  for (std::string path : {temp_path("missing.sdif"), save_temp(SdifWriter().raw("RIFF....WAVE", 12), "sound.wav"),
                           save_temp(wrong_version, "old.sdif"), save_temp(bad_matrix, "width3.sdif"), temp_path("")}) {
    ViewerRun run = run_viewer(path);
    EXPECT_EQ(run.message, "Error reading file\n") << path;
    EXPECT_EQ(run.dialog_width, 300);
    EXPECT_FALSE(run.main_window_seen) << path;
    EXPECT_EQ(run.status, 1) << path;
  }
}

TEST(ViewerMain, FileWithoutSupportedStreams) {
  SdifWriter other;
  other.file_header().begin_frame("1ENV", 0, 1, 1).matrix_f32("1ENV", 1, 1, {0.5f}).end_frame();
  other.begin_frame("1TRD", 0.1, 2, 0).end_frame();
  for (std::string path : {save_temp(other, "envelope.sdif"), save_temp(SdifWriter().file_header(), "empty.sdif")}) {
    ViewerRun run = run_viewer(path);
    EXPECT_EQ(run.message, "File does not contain any supported matrix types.\n");
    EXPECT_EQ(run.dialog_width, 400);
    EXPECT_FALSE(run.main_window_seen);
    EXPECT_EQ(run.status, 1);
  }
}

TEST(ViewerMain, EachSupportedStreamAloneOpensTheWindowWithItsPanel) {
  const struct {
    const char* type;
    int band_top;
  } streams[] = {{"1FQ0", 0}, {"1TRC", 150}, {"1STF", 300}};
  for (auto stream : streams) {
    // One frame, the last of the file.
    SdifWriter one;
    one.file_header().begin_frame("1ENV", 0, 9, 0).end_frame().begin_frame(stream.type, 0, 1, 0).end_frame();
    ViewerRun run = run_viewer(save_temp(one, "one.sdif"));
    EXPECT_TRUE(run.main_window_seen) << stream.type;
    EXPECT_EQ(run.panel_tops, std::vector<int>{stream.band_top}) << stream.type;
    EXPECT_EQ(run.message, "") << stream.type;
    EXPECT_EQ(run.status, 0) << stream.type;
    // The panels went with the window, and nothing points at them any more.
    EXPECT_EQ(pitch_panel, nullptr);
    EXPECT_EQ(sinusoids_panel, nullptr);
    EXPECT_EQ(residual_panel, nullptr);
  }

  // A file cut inside its last frame is not an error.
  SdifWriter cut;
  cut.file_header().begin_frame("1TRC", 0, 1, 0).end_frame().begin_frame("1TRC", 1, 1, 1);
  ViewerRun run = run_viewer(save_temp(cut, "cut.sdif"));
  EXPECT_TRUE(run.main_window_seen);
  EXPECT_EQ(run.status, 0);
}

TEST(ViewerMain, FileChosenInTheChooser) {
  std::string folder = temp_path("choices");
  std::filesystem::create_directory(folder);
  SdifWriter valid;
  valid.file_header().begin_frame("1FQ0", 0, 1, 0).end_frame();
  for (const char* name : {"a.sdf", "b.sdif", "c.txt", "d.sdiff"}) ASSERT_TRUE(valid.save(folder + "/" + name));

  ViewerRun pick;
  pick.chooser_folder = folder;
  pick.chooser_pick = folder + "/b.sdif";
  ViewerRun run = run_viewer("", pick);
  EXPECT_EQ(run.chooser_listing, (std::vector<std::string>{"../", "a.sdf", "b.sdif"})) << "both extensions, nothing else";
  EXPECT_TRUE(run.main_window_seen);
  EXPECT_EQ(run.message, "");
  EXPECT_EQ(run.status, 0);
}

TEST(ViewerMain, CancelledChooserOrAFolderExitsQuietly) {
  ViewerRun folder;
  folder.chooser_pick = temp_path("");
  for (const ViewerRun& choice : {ViewerRun(), folder}) {
    ViewerRun run = run_viewer("", choice);
    EXPECT_EQ(run.message, "No SDIF file selected, exiting\n");
    EXPECT_EQ(run.dialog_width, 300);
    EXPECT_FALSE(run.main_window_seen);
    EXPECT_EQ(run.status, 0);
  }
}
