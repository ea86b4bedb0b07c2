// Tests that a view finds, through its frame index, the frame pair that walking the stream finds, on
// streams whose times step back in a few places or in many, repeat or are NaN. No display.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "tests/support/test_files.h"
#include "views/sdif_view.h"

TEST(FrameIndex, FramePairsAreTheWalksInStreamsOutOfOrder) {
  std::mt19937 random(9);
  auto uniform = [&](double low, double high) { return std::uniform_real_distribution<>(low, high)(random); };
  for (double back_share : {0.0005, 0.05, 0.5}) {
    // Long enough for blocks of blocks of times.
    SdifWriter w;
    w.file_header();
    double time = 0;
    for (int i = 0; i < 9000; ++i) {
      time += uniform(0, 1) < back_share ? -uniform(0, 40) : (random() % 3) * 0.01;
      w.begin_frame("1TRC", random() % 3000 == 0 ? NAN : time, 1, 0).end_frame();
    }
    LoadedStream s(w, "1TRC");
    SdifView view(0, 0, 10, 10, &s.cursor);
    for (int sweep = 0; sweep < 30; ++sweep) {
      const SdifFrame* walked = s.cursor.current = s.cursor.first;
      double t = uniform(-5, 60), weight;
      for (int step = 0; step < 200; ++step) {
        t += random() % 10 == 0 ? uniform(0, 20) : (random() % 4) * 0.004;
        while (walked->next_in_stream && t > walked->next_in_stream->time) walked = walked->next_in_stream;
        ASSERT_EQ(view.frame_pair(t, weight), walked) << "share " << back_share << ", t " << t;
      }
    }
  }
}
