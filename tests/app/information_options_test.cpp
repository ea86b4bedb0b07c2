// Which command lines the viewer answers itself: only an exact --help or --version in first place,
// so that every other argument still reaches the viewer as a file name.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/information_options.h"

TEST(InformationOptions, OnlyAnExactFirstArgumentIsAnOption) {
  struct Case {
    std::vector<std::string> args;
    const char* answer_start;  // null: not answered, left to the viewer
  };
  const Case cases[] = {
      {{"--help"}, "Usage: sdif-viewer [FILE]\n"},
      {{"--version"}, "sdif-viewer "},
      {{"--help", "a.sdif"}, "Usage: "},
      {{"./--help"}, nullptr},
      {{"--helpx"}, nullptr},
      {{"--vers"}, nullptr},  // getopt_long would take this abbreviation for --version
      {{"-h"}, nullptr},
      {{"a.sdif", "--version"}, nullptr},
      {{}, nullptr},
  };
  for (const Case& c : cases) {
    std::vector<char*> argv{const_cast<char*>("sdif-viewer")};
    for (const std::string& arg : c.args) argv.push_back(const_cast<char*>(arg.c_str()));
    std::ostringstream out;
    const bool answered = answer_information_option(static_cast<int>(argv.size()), argv.data(), out);
    const std::string first = c.args.empty() ? "" : c.args[0];
    EXPECT_EQ(answered, c.answer_start != nullptr) << first;
    if (c.answer_start) {
      EXPECT_EQ(out.str().rfind(c.answer_start, 0), 0u) << first << ": " << out.str();
    } else {
      EXPECT_EQ(out.str(), "") << first;
    }
  }
}
