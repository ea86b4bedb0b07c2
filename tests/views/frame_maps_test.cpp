// Tests of the frame maps a view keeps between redraws: which redraws make a frame's map again, when
// the pool holds every frame and when a redraw covers more than it holds, and that a map keeps its
// entries when the pool makes room. No display.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "views/frame_maps.h"

TEST(FrameMaps, ARedrawMakesOnlyTheMapsThatThePoolCouldNotKeep) {
  // Maps of a tenth of a million entries: the pool holds ten. Each redraw walks its frames as a
  // drawing does, in column pairs; the count of maps it makes is checked.
  const size_t big = 100000;
  std::vector<SdifFrame> frames(20);
  FrameMaps<uint8_t> maps;
  size_t made = 0;
  auto make = [&](const SdifFrame& frame, std::vector<uint8_t>& out) {
    ++made;
    out.assign(big, uint8_t(&frame - frames.data()));
  };
  auto redraw = [&](int first, int last) {
    maps.begin_redraw();
    made = 0;
    auto entries = [](FrameMaps<uint8_t>::Map map) { return std::vector<uint8_t>(map.entries, map.entries + map.count); };
    for (int f = first; f <= last; ++f) {
      auto [from, to] = maps.pair(frames[f], f < last ? &frames[f + 1] : nullptr, make);
      EXPECT_EQ(entries(from), std::vector<uint8_t>(big, uint8_t(f)));
      EXPECT_EQ(entries(to), std::vector<uint8_t>(f < last ? big : 0, uint8_t(f + 1)));
    }
    return made;
  };
  // Ten frames twice: the second redraw makes none. Then fifteen: the first ten stay, the last five
  // are made at every redraw rather than pushing out the maps the next redraw needs first.
  EXPECT_EQ(redraw(0, 9), 10u);
  EXPECT_EQ(redraw(0, 9), 0u);
  EXPECT_EQ(redraw(0, 14), 5u);
  EXPECT_EQ(redraw(0, 14), 5u);
  // Scrolled on: frames 0 to 4, which the redraw before used, stay one more redraw; after it the
  // pool keeps 5 to 14 and moves them down, entries and all.
  EXPECT_EQ(redraw(5, 19), 10u);
  EXPECT_EQ(redraw(5, 19), 10u);
  EXPECT_EQ(redraw(5, 19), 5u);
  maps.clear();
  EXPECT_EQ(redraw(5, 9), 5u);
}
