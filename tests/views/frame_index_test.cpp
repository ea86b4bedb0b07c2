// Tests that a view finds the frame pair that walking the stream finds, through its frame index, on
// streams whose times step back in a few places or in many, repeat, or are NaN, and long enough for
// the index's blocks of blocks. No display.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "tests/support/test_files.h"
#include "views/sdif_view.h"

TEST(FrameIndex, FramePairsAreTheWalksInStreamsOutOfOrder) {
  std::mt19937 random(9);
  for (double back_share : {0.0005, 0.05, 0.5}) {
    SdifWriter w;
    w.file_header();
    double time = 0;
    for (int i = 0; i < 9000; ++i) {
      double r = std::uniform_real_distribution<>(0, 1)(random);
      time += r < back_share ? -std::uniform_real_distribution<>(0, 40)(random) : (random() % 3) * 0.01;
      w.begin_frame("1TRC", random() % 3000 == 0 ? NAN : time, 1, 0).end_frame();
    }
    LoadedStream s(w, "1TRC");
    SdifView view(0, 0, 10, 10, &s.cursor);
    for (int sweep = 0; sweep < 30; ++sweep) {
      s.cursor.current = s.cursor.first;
      const SdifFrame* walked = s.cursor.first;
      double t = std::uniform_real_distribution<>(-5, 60)(random);
      for (int step = 0; step < 200; ++step) {
        t += random() % 10 == 0 ? std::uniform_real_distribution<>(0, 20)(random) : (random() % 4) * 0.004;
        while (walked->next_in_stream && t > walked->next_in_stream->time) walked = walked->next_in_stream;
        double weight;
        ASSERT_EQ(view.frame_pair(t, weight), walked) << "share " << back_share << ", t " << t;
      }
    }
  }
}
