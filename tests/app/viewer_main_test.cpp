// Tests of start-up in-process: the dialog each kind of file leads to, that the main window is never
// shown after a failure, the window of a valid file, the chooser's filter, and every exit status.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Browser.H>
#include <FL/Fl_File_Chooser.H>

#include <filesystem>

#include <gtest/gtest.h>

#include "app/data_panel.h"
#include "app/viewer_main.h"
#include "tests/support/fltk_driver.h"
#include "tests/support/test_files.h"

namespace {

struct ViewerRun {
  std::string chooser_pick;  // chosen in the chooser, if it opens; empty cancels it
  std::vector<std::string> chooser_listing;
  int status = -1;
  std::string message;  // of the error dialog, if one was shown
  std::vector<int> panel_tops;  // of the main window's children, which must all be data panels
  bool main_window_seen = false;
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
      run->main_window_seen = true;
      EXPECT_EQ(main_window->w(), 450);
      EXPECT_EQ(main_window->h(), 450);
      EXPECT_EQ(main_window->resizable(), main_window) << "the panels follow a resize of the window";
      for (int i = 0; i < main_window->children(); i++) {
        EXPECT_NE(dynamic_cast<DataPanel*>(main_window->child(i)), nullptr);
        run->panel_tops.push_back(main_window->child(i)->y());
      }
      main_window->hide();
    } else if (Fl_Window* dialog = shown_window("Ondavue Error")) {
      run->message = dialog->child(1)->label();
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
  run.status = viewer_main(path.empty() ? 1 : 2, argv);
  EXPECT_TRUE(shown_windows().empty());
  EXPECT_EQ(pitch_panel, nullptr) << "the panels went with the window";
  EXPECT_EQ(sinusoids_panel, nullptr);
  EXPECT_EQ(residual_panel, nullptr);
  return run;
}

SdifWriter frames_of(std::vector<const char*> types) {
  SdifWriter w;
  w.file_header();
  for (const char* type : types) w.begin_frame(type, 0, 1, 1).matrix_f32(type, 1, 1, {0.5f}).end_frame();
  return w;
}

}  // namespace

TEST(ViewerMain, EachKindOfFileLeadsToItsWindowAndStatus) {
  SdifWriter bad_matrix;
  bad_matrix.file_header().begin_frame("1TRC", 0, 1, 1).matrix_header("1TRC", 0x0003, 1, 4).u32(0).end_frame();
  SdifWriter cut = frames_of({"1TRC"});
  cut.begin_frame("1TRC", 1, 1, 1);  // cut inside its last frame: not an error
  const struct {
    std::string path;
    std::string message;
    std::vector<int> panel_tops;
    int status;
  } cases[] = {
      {temp_path("missing.sdif"), READ_ERROR_MESSAGE, {}, 1},
      {save_temp(SdifWriter().raw("RIFF....WAVE", 12), "sound.wav"), READ_ERROR_MESSAGE, {}, 1},
      {save_temp(SdifWriter().file_header(8, 2, 1), "old.sdif"), READ_ERROR_MESSAGE, {}, 1},
      {save_temp(bad_matrix, "width3.sdif"), READ_ERROR_MESSAGE, {}, 1},
      {temp_path(""), READ_ERROR_MESSAGE, {}, 1},
      {save_temp(frames_of({"1ENV", "1TRD"}), "envelope.sdif"), NO_TYPES_MESSAGE, {}, 1},
      {save_temp(SdifWriter().file_header(), "empty.sdif"), NO_TYPES_MESSAGE, {}, 1},
      {save_temp(frames_of({"1ENV", "1FQ0"}), "pitch.sdif"), "", {0}, 0},
      {save_temp(frames_of({"1ENV", "1TRC"}), "tracks.sdif"), "", {150}, 0},
      {save_temp(frames_of({"1ENV", "1STF"}), "residual.sdif"), "", {300}, 0},
      {save_temp(frames_of({"1STF", "1FQ0"}), "two.sdif"), "", {0, 300}, 0},
      {save_temp(cut, "cut.sdif"), "", {150}, 0},
  };
  for (const auto& c : cases) {
    ViewerRun run = run_viewer(c.path);
    EXPECT_EQ(run.message, c.message) << c.path;
    EXPECT_EQ(run.main_window_seen, c.message.empty()) << c.path;
    EXPECT_EQ(run.panel_tops, c.panel_tops) << c.path;
    EXPECT_EQ(run.status, c.status) << c.path;
  }
}

TEST(ViewerMain, FileFromTheChooser) {
  std::string folder = temp_path("choices");
  std::filesystem::create_directory(folder);
  for (const char* name : {"a.sdf", "b.sdif", "c.txt", "d.sdiff"})
    save_temp(frames_of({"1FQ0"}), std::string("choices/") + name);
  ViewerRun picked = run_viewer("", folder + "/b.sdif");
  EXPECT_EQ(picked.chooser_listing, (std::vector<std::string>{"../", "a.sdf", "b.sdif"})) << "both extensions only";
  EXPECT_TRUE(picked.main_window_seen);
  EXPECT_EQ(picked.status, 0);
  // A cancelled chooser, or a folder chosen, ends quietly.
  for (std::string pick : {std::string(), folder}) {
    ViewerRun run = run_viewer("", pick);
    EXPECT_EQ(run.message, NO_FILE_MESSAGE);
    EXPECT_FALSE(run.main_window_seen);
    EXPECT_EQ(run.status, 0);
  }
}
