// Tests of sdif-render's command line: every usage error, and the values a valid line carries.
#include "render/render_options.h"

#include <gtest/gtest.h>

namespace {

ParsedCommandLine parse(std::vector<std::string> words) {
  words.insert(words.begin(), "sdif-render");
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  return parse_render_options(int(argv.size()), argv.data());
}

}  // namespace

TEST(RenderOptions, EveryMeaninglessLineIsAUsageError) {
  const struct {
    std::vector<std::string> words;
    const char* named;  // what the one-line message must name
  } cases[] = {
      {{}, "no FILE"},
      {{"--size", "0x110", "a"}, "0x110"},
      {{"--size", "430x110x2", "a"}, "430x110x2"},
      {{"--size", "8193x10", "a"}, "8193x10"},
      {{"--time", "3:1", "a"}, "3:1"},
      {{"--time", "2", "a"}, "'2'"},
      {{"--vertical", "500:100", "a"}, "500:100"},
      {{"--view", "loudness", "a"}, "loudness"},
      {{"--scale", "mel", "a"}, "mel"},
      {{"--amplitude", "dbfs", "a"}, "dbfs"},
      {{"--colormap", "jet", "a"}, "jet"},
      {{"--stream", "2x", "a"}, "2x"},
      {{"--stream", "2147483648", "a"}, "2147483648"},
      {{"--contrast", "nan", "a"}, "nan"},
      {{"--thumbnail", "15", "a", "a.png"}, "15"},
      {{"--thumbnail", "128", "a"}, "FILE and OUT"},
      {{"--thumbnail", "128", "-o", "b.png", "a", "a.png"}, "-o"},
      {{"-o", "", "a"}, "empty"},
      {{"--loud", "a"}, "--loud"},
      {{"-q", "a"}, "-q"},
      {{"a", "--size"}, "--size"},
  };
  for (const auto& c : cases) {
    ParsedCommandLine parsed = parse(c.words);
    EXPECT_EQ(parsed.action, ParsedCommandLine::USAGE_ERROR) << testing::PrintToString(c.words);
    EXPECT_NE(parsed.error.find(c.named), std::string::npos) << parsed.error;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
  }
}

TEST(RenderOptions, ValidLinesCarryTheirValues) {
  ParsedCommandLine parsed = parse({"--view", "sinusoids", "--size", "1900x330", "--time", "0.5:1.25", "--vertical",
                                    "100:5000", "--cube", "--contrast", "1.5", "-o", "out.png", "--scale", "note",
                                    "--amplitude", "db", "--colormap", "inferno", "--stream", "-2147483648", "a"});
  ASSERT_EQ(parsed.action, ParsedCommandLine::RENDER) << parsed.error;
  const RenderOptions& o = parsed.options;
  // The contrast is limited to the slider's range, with a warning.
  EXPECT_EQ(std::make_tuple(o.view, o.width, o.height, o.ranges.time->low, o.ranges.time->high, o.ranges.vertical->low,
                            o.ranges.vertical->high, o.ranges.cube, o.ranges.contrast, parsed.warnings.size(), o.output),
            std::make_tuple(&panel_spec(VIEW_TRACKS), 1900, 330, 0.5, 1.25, 100.0, 5000.0, true, 1.0f, size_t{1}, "out.png"));
  EXPECT_EQ(std::make_tuple(o.ranges.scale, o.ranges.amplitude, o.ranges.color_map, o.stream),
            std::make_tuple(VerticalScale::Note, AmplitudeScale::Decibels, ColorMap::Inferno,
                            std::optional<int32_t>(INT32_MIN)));
}
