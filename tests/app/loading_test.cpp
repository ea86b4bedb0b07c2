// Tests of loading at start-up in-process: a load that runs long shows the progress window, and
// closing it or pressing Escape cancels the load quietly with exit status 0; a small file opens
// without it. An endless pipe stands for a file that takes too long.
#include <FL/Fl.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Window.H>
#include <unistd.h>

#include <csignal>
#include <thread>

#include <gtest/gtest.h>

#include "app/load_progress.h"
#include "app/viewer_main.h"
#include "tests/support/fltk_driver.h"
#include "tests/support/temp_dir.h"

namespace {

enum class Answer { None, Escape, Close };

struct LoadRun {
  Answer answer = Answer::None;
  bool loading_seen = false;
  bool bar_seen = false;
  std::string shown_bytes;  // the progress window's count, for a pipe
  bool main_window_seen = false;
  bool dialog_seen = false;
};

void watch(LoadRun* run, int step) {
  when_idle([run, step] {
    if (Fl_Window* loading = shown_window(PROGRESS_TITLE)) {
      run->loading_seen = true;
      for (int i = 0; i < loading->children(); ++i) {
        run->bar_seen |= dynamic_cast<Fl_Progress*>(loading->child(i)) != nullptr;
        if (i > 0 && loading->child(i)->label()) run->shown_bytes = loading->child(i)->label();
      }
      if (run->answer == Answer::Escape) {
        Fl::e_keysym = FL_Escape;
        Fl::e_state = 0;
        Fl::e_text = const_cast<char*>("\033");
        Fl::e_length = 1;
        Fl::handle(FL_KEYBOARD, loading);
      } else if (run->answer == Answer::Close) {
        loading->do_callback();  // what the window system's close button does
      }
    }
    if (Fl_Window* main_window = shown_window("SDIF")) {
      run->main_window_seen = true;
      main_window->hide();
      return;
    }
    if (Fl_Window* dialog = shown_window("Ondavue Error")) {
      run->dialog_seen = true;
      dialog->hide();
      return;
    }
    if (step < 200) watch(run, step + 1);
  });
}

// Feeds a file header and then zero bytes, which read as empty frames, in small pieces until the
// reading end is closed or `limit` bytes have gone.
void feed_endlessly(int fd, size_t limit) {
  SdifWriter header;
  header.file_header();
  ssize_t sent = write(fd, header.bytes().data(), header.size());
  static const char zeros[16 * 1024] = {};
  for (size_t total = 0; sent > 0 && total < limit; total += size_t(sent)) {
    sent = write(fd, zeros, sizeof zeros);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  close(fd);
}

int viewer_on(const std::string& path) {
  std::string argument = path;
  char program[] = "sdif-viewer";
  char* argv[] = {program, argument.data(), nullptr};
  return viewer_main(2, argv);
}

}  // namespace

TEST(Loading, ALongLoadShowsItsProgressAndTheUserCancelsItQuietly) {
  // The feeder learns of the cancelled load from a failed write, not from a signal.
  std::signal(SIGPIPE, SIG_IGN);
  for (Answer answer : {Answer::Escape, Answer::Close}) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::thread feeder(feed_endlessly, ends[1], size_t(256) << 20);
    LoadRun run;
    run.answer = answer;
    watch(&run, 0);
    int status = viewer_on("/proc/self/fd/" + std::to_string(ends[0]));
    close(ends[0]);
    feeder.join();
    EXPECT_TRUE(run.loading_seen);
    EXPECT_FALSE(run.bar_seen) << "a pipe has no size to measure against";
    EXPECT_NE(run.shown_bytes.find(" MB read"), std::string::npos) << run.shown_bytes;
    EXPECT_FALSE(run.main_window_seen);
    EXPECT_FALSE(run.dialog_seen);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(shown_windows().empty());
  }
}

TEST(Loading, ASmallFileOpensWithoutAProgressWindow) {
  SdifWriter small;
  small.file_header();
  for (int i = 0; i < 1000; ++i) small.begin_frame("1TRC", i, 1, 1).matrix_f32("1TRC", 1, 3, {1, 440, 0.5f}).end_frame();
  LoadRun run;
  watch(&run, 0);
  EXPECT_EQ(viewer_on(save_temp(small, "small.sdif")), 0);
  EXPECT_FALSE(run.loading_seen);
  EXPECT_TRUE(run.main_window_seen);
  EXPECT_FALSE(run.dialog_seen);
}
