// Tests of which redraws make a frame's map again, when the pool holds every frame and when a redraw
// covers more, and that maps keep their entries when the pool makes room. No display.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "views/frame_maps.h"

TEST(FrameMaps, ARedrawMakesOnlyTheMapsThatThePoolCouldNotKeep) {
  // Maps of 200,000 entries: the pool holds ten. A redraw asks for column pairs, as a drawing does.
  const size_t big = 200000;
  std::vector<SdifFrame> frames(20);
  FrameMaps<uint8_t> maps;
  int made = 0;
  auto make = [&](const SdifFrame& frame, std::vector<uint8_t>& out) {
    made++;
    out.assign(big, uint8_t(&frame - frames.data()));
  };
  auto entries = [](FrameMaps<uint8_t>::Map map) { return std::vector<uint8_t>(map.entries, map.entries + map.count); };
  auto redraw = [&](int first, int last) {
    maps.begin_redraw();
    made = 0;
    for (int f = first; f <= last; ++f) {
      auto [from, to] = maps.pair(frames[f], f < last ? &frames[f + 1] : nullptr, make);
      EXPECT_EQ(entries(from), std::vector<uint8_t>(big, uint8_t(f)));
      EXPECT_EQ(entries(to), std::vector<uint8_t>(f < last ? big : 0, uint8_t(f + 1)));
    }
    return made;
  };
  // Ten frames twice: none made again. Fifteen: the first ten stay, the last five are made each time
  // rather than pushing out what the next redraw needs first. Scrolled on: frames 0 to 4, which the
  // redraw before used, stay one more redraw; then 5 to 14 move down.
  const int expected[][3] = {{0, 9, 10}, {0, 9, 0}, {0, 14, 5}, {0, 14, 5}, {5, 19, 10}, {5, 19, 10}, {5, 19, 5}};
  for (const auto& [first, last, count] : expected) EXPECT_EQ(redraw(first, last), count) << first << " to " << last;
  maps.clear();
  EXPECT_EQ(redraw(5, 9), 5);
}
