// Tests of start-up in-process: which dialog each kind of file leads to, that the main window is
// never shown after a failure, the window of a valid file, and the exit status of every path.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Window.H>

#include <gtest/gtest.h>

#include "app/viewer_main.h"
#include "tests/support/fltk_driver.h"
#include "tests/support/temp_dir.h"
#include "tools/sdif_writer.h"

namespace {

struct ViewerRun {
  int status = -1;
  std::string message;  // of the error dialog, if one was shown
  int dialog_width = 0;
  bool main_window_seen = false;
};

// Watches the toolkit's windows while viewer_main runs: records the dialog and dismisses it, and
// closes the main window once it has been checked.
void watch(ViewerRun* run, int step) {
  when_idle([run, step] {
    if (Fl_Window* main_window = shown_window("SDIF")) {
      run->main_window_seen = true;
      EXPECT_EQ(main_window->w(), 450);
      EXPECT_EQ(main_window->h(), 450);
      EXPECT_NE(dynamic_cast<Fl_Double_Window*>(main_window), nullptr);
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
      chooser->hide();
      if (step < 20) watch(run, step + 1);
      return;
    }
    if (step < 20) watch(run, step + 1);
  });
}

ViewerRun run_viewer(const std::string& path) {
  ViewerRun run;
  watch(&run, 0);
  std::string argument = path;
  char program[] = "sdif-viewer";
  char* argv[] = {program, argument.data(), nullptr};
  run.status = viewer_main(path.empty() ? 1 : 2, argv);
  EXPECT_TRUE(shown_windows().empty());
  return run;
}

std::string save(const SdifWriter& writer, const char* name) {
  std::string path = temp_path(name);
  writer.save(path);
  return path;
}

}  // namespace

TEST(ViewerMain, UnreadableFilesReportErrorReadingFile) {
  SdifWriter wrong_version;
  wrong_version.file_header(8, 2, 1);
  SdifWriter bad_matrix;
  bad_matrix.file_header().begin_frame("1TRC", 0, 1, 1).matrix_header("1TRC", 0x0003, 1, 4).u32(0).end_frame();
  for (std::string path : {temp_path("missing.sdif"), save(SdifWriter().raw("RIFF....WAVE", 12), "sound.wav"),
                           save(wrong_version, "old.sdif"), save(bad_matrix, "width3.sdif")}) {
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
  for (std::string path : {save(other, "envelope.sdif"), save(SdifWriter().file_header(), "empty.sdif")}) {
    ViewerRun run = run_viewer(path);
    EXPECT_EQ(run.message, "File does not contain any supported matrix types.\n");
    EXPECT_EQ(run.dialog_width, 400);
    EXPECT_FALSE(run.main_window_seen);
    EXPECT_EQ(run.status, 1);
  }
}

TEST(ViewerMain, EachSupportedStreamAloneOpensTheWindow) {
  for (const char* type : {"1FQ0", "1TRC", "1STF"}) {
    SdifWriter one;
    one.file_header().begin_frame("1ENV", 0, 9, 0).end_frame().begin_frame(type, 0, 1, 0).end_frame();
    ViewerRun run = run_viewer(save(one, "one.sdif"));
    EXPECT_TRUE(run.main_window_seen) << type;
    EXPECT_EQ(run.message, "") << type;
    EXPECT_EQ(run.status, 0) << type;
  }

  // A file cut inside its last frame is not an error.
  SdifWriter cut;
  cut.file_header().begin_frame("1TRC", 0, 1, 0).end_frame().begin_frame("1TRC", 1, 1, 1);
  ViewerRun run = run_viewer(save(cut, "cut.sdif"));
  EXPECT_TRUE(run.main_window_seen);
  EXPECT_EQ(run.status, 0);
}

TEST(ViewerMain, CancelledChooserExitsQuietly) {
  ViewerRun run = run_viewer("");
  EXPECT_EQ(run.message, "No SDIF file selected, exiting\n");
  EXPECT_EQ(run.dialog_width, 300);
  EXPECT_FALSE(run.main_window_seen);
  EXPECT_EQ(run.status, 0);
}
