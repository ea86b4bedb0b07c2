// Tests of sdif-info's command line in-process: options, exit status and error lines, and JSON that
// parses whatever bytes the file's types and the file's name hold.
#include <algorithm>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/info/info_run.h"
#include "tests/support/test_files.h"
#include "version.h"

namespace {

TEST(InfoMain, OptionsExitStatusAndErrorLines) {
  SdifWriter valid;
  valid.file_header().begin_frame("1TRC", 0, 1, 1).matrix_f32("1TRC", 1, 2, {1, 2}).end_frame();
  std::string good = save_temp(valid, "good.sdif");
  std::string cut = save_temp(SdifWriter(valid).begin_frame("1TRC", 1, 1, 1), "cut.sdif");
  std::string damaged = save_temp(SdifWriter().file_header(8, 2), "old.sdif");
  std::string missing = temp_path("missing.sdif");
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string out_starts;
    long err_lines;
    std::string err_names;
  } cases[] = {
      {{"--help"}, 0, "Usage: sdif-info", 0, ""},
      {{"--version"}, 0, std::string("sdif-info ") + SDIF_VIEWER_VERSION + "\n", 0, ""},
      {{"--bogus", good}, 2, "", 2, "--bogus"},
      {{"-x", good}, 2, "", 2, "x"},
      {{}, 2, "", 2, ""},
      {{good, cut}, 0, good + "\n", 0, ""},
      // Every file is reported; each bad one gets its line on standard error.
      {{missing, good, damaged}, 1, missing + "\n", 2, missing + ": unreadable: No such file or directory"},
      {{damaged}, 1, damaged + "\n", 1, damaged + ": damaged at byte 0: "},
  };
  for (const auto& c : cases) {
    InfoRun r = run_info(c.arguments);
    std::string name = c.arguments.empty() ? "(none)" : c.arguments[0];
    EXPECT_EQ(r.status, c.status) << name;
    EXPECT_EQ(r.out.substr(0, c.out_starts.size()), c.out_starts) << name;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.err_lines) << name << ": " << r.err;
    EXPECT_NE(r.err.find(c.err_names), std::string::npos) << name << ": " << r.err;
  }
}

TEST(InfoMain, JsonParsesWhateverTheBytes) {
  // Types of a zero byte, a quote, a backslash and bytes that are not UTF-8, in a file whose name is
  // not UTF-8 either; a whole frame the viewer shows; the last frame is cut. The file header carries 8
  // further bytes.
  const char odd_frame[4] = {'\0', '"', '\\', '\xff'};
  const char odd_matrix[4] = {'\xc3', '(', '\x80', '\n'};
  SdifWriter w;
  w.file_header(16, 3, 2).begin_frame(odd_frame, 0, -5, 1).matrix_f32(odd_matrix, 1, 1, {2}).end_frame();
  w.begin_frame("1TRC", 0, 4, 1).matrix_f32("1TRC", 1, 2, {100, 1}).end_frame();

  w.begin_frame("1FQ0", 1, 3, 2).matrix_f32("1FQ0", 1, 2, {100, 1}).matrix_header(odd_matrix, 0x0004, 1, 1);
  std::string path = save_temp(w, "odd-\xff\xfe.sdif");
  for (bool frames : {false, true}) {
    std::vector<std::string> arguments = {"--json", path, path};
    if (frames) arguments.insert(arguments.begin(), "--frames");
    InfoRun r = run_info(arguments);
    EXPECT_EQ(r.status, 0);
    // A line for each frame with --frames, then one for the file, the same for both files; parse
    // throws, failing the test, on invalid JSON.
    std::vector<nlohmann::json> lines;
    for (size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1) {
      std::string text = r.out.substr(start, end - start);
      lines.push_back(nlohmann::json::parse(text));
      EXPECT_EQ(lines.back().dump(), text) << "members in the order of their keys";
    }
    size_t per_file = frames ? 4 : 1;
    ASSERT_EQ(lines.size(), 2 * per_file);
    EXPECT_EQ(r.out.substr(0, r.out.size() / 2), r.out.substr(r.out.size() / 2));
    nlohmann::json report = lines[per_file - 1];
    EXPECT_EQ(report["outcome"], "cut");
    EXPECT_EQ(report["header"], nlohmann::json({{"magic", "SDIF"}, {"header_size", 16}, {"spec_version", 3},
                                                {"types_version", 2}}));
    EXPECT_EQ(report["cut_frame"], 2);
    EXPECT_EQ(report["streams"][0]["frame_types"][0], "\\x00\"\\\\\\xFF");
    EXPECT_EQ(report["streams"][0]["matrix_types"][0]["type"], "\\xC3(\\x80\\x0A");
    EXPECT_EQ(report["viewer"]["panels"]["Pitch"], nullptr) << "the cut frame is not shown";
    EXPECT_EQ(report["viewer"]["panels"]["Sinusoids"], 4);
    EXPECT_EQ(report["streams"][1]["matrix_types"][0]["column_ranges"][0]["min"], 100);

    EXPECT_EQ(report["viewer"]["left_out"], nlohmann::json::array({-5}));
    if (frames) {
      EXPECT_EQ(lines[2]["index"], 2);
      EXPECT_EQ(lines[2]["offset"], 120);
      EXPECT_EQ(lines[2]["matrices"].size(), 2u) << "the header read before the cut is listed";
      EXPECT_EQ(lines[0]["type"], "\\x00\"\\\\\\xFF");
      EXPECT_EQ(report.count("frame_list"), 0u);
    }
  }
}

TEST(InfoMain, LargestTrackIndexAndBinsInBothReports) {
  SdifWriter w;
  w.file_header().begin_frame("1TRC", 0, 6, 1).matrix_f32("1TRC", 1, 3, {7.5, 100, 1}).end_frame();
  w.begin_frame("1STF", 0, 8, 2).matrix_f32("ISTF", 1, 1, {1}).matrix_f32("1STF", 1, 2, {1, 0}).end_frame();
  std::string path = save_temp(w, "tracks-and-bins.sdif"), text = run_info({path}).out;
  EXPECT_NE(text.find("frame\n    track index  largest 7\n    1TRC "), std::string::npos) << text;
  EXPECT_NE(text.find("frame\n    bins         1\n    ISTF"), std::string::npos) << text;
  nlohmann::json s = nlohmann::json::parse(run_info({"--json", path}).out)["streams"];
  EXPECT_EQ(s[0]["largest_track_index"].dump() + s[0]["bin_count"].dump() + s[1]["largest_track_index"].dump() +
                s[1]["bin_count"].dump(), "7nullnull1");
}

}  // namespace
