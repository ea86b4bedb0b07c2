// Tests of sdif-export in-process: every data type's values back through each format bit for bit, the
// column names and what one table holds, the selection at frame edges, --wide, damaged and cut files,
// and usage errors. The closed pipe is the end-to-end test's.
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "export/held_text.h"
#include "sdif/sdif_data_type.h"
#include "tests/export/export_runner.h"
#include "tests/support/test_files.h"
#include "version.h"

namespace {

using nlohmann::json;

// The fields of each line of a CSV or TSV export.
std::vector<std::vector<std::string>> table(const std::string& text, char separator) {
  std::vector<std::string> lines;
  EXPECT_TRUE(split_lines(text, separator == ',' ? "\r\n" : "\n", lines)) << text;
  std::vector<std::vector<std::string>> fields(lines.size());
  for (size_t i = 0; i < lines.size(); i++) EXPECT_TRUE(split_fields(lines[i], separator, fields[i])) << lines[i];
  return fields;
}

std::vector<json> json_lines(const std::string& text) {
  std::vector<std::string> lines;
  EXPECT_TRUE(split_lines(text, "\n", lines));
  std::vector<json> objects;
  for (const std::string& line : lines) objects.push_back(json::parse(line));
  return objects;
}

template <typename T>
std::vector<T> extremes() {
  using L = std::numeric_limits<T>;
  if constexpr (std::is_floating_point_v<T>)
    return {L::lowest(), L::max(), L::min(), L::denorm_min(), 0, 1, T(0.1), T(1) / T(3), -T(0), L::quiet_NaN(),
            L::infinity(), -L::infinity()};
  return {L::lowest(), L::max(), L::min(), 0, 1, T(L::is_signed ? -1 : 2)};
}

// Big-endian, of any width.
template <typename T>
void put(SdifWriter& w, T value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof value);
  if constexpr (sizeof(T) == 1) w.u8(uint8_t(bits));
  if constexpr (sizeof(T) == 2) w.u16(uint16_t(bits));
  if constexpr (sizeof(T) == 4) w.u32(uint32_t(bits));
  if constexpr (sizeof(T) == 8) w.u64(bits);
}

// A value read back as numpy reads CSV (strtod for floats, so "nan" and "inf"); false unless the
// whole text is the number.
template <typename T>
bool read_back(const std::string& text, T& value) {
  char* end = nullptr;
  if constexpr (std::is_integral_v<T>)
    return std::from_chars(text.data(), text.data() + text.size(), value).ptr == text.data() + text.size();
  value = std::is_same_v<T, float> ? std::strtof(text.c_str(), &end) : std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0';
}

template <typename T>
T from_json(const json& value) {
  if (!value.is_string()) return value.get<T>();
  if (value == "NaN") return std::numeric_limits<T>::quiet_NaN();
  return value == "Infinity" ? std::numeric_limits<T>::infinity() : -std::numeric_limits<T>::infinity();
}

// One frame per (type, columns) of one row of float32 values 1, 2, ...
std::string frames_of(const std::vector<std::pair<const char*, int>>& matrices, const std::string& name) {
  SdifWriter w;
  w.file_header();
  for (size_t i = 0; i < matrices.size(); i++) {
    std::vector<float> values;
    for (int k = 0; k < matrices[i].second; k++) values.push_back(float(k + 1));
    w.begin_frame("XFRM", double(i), 1, 1).matrix_f32(matrices[i].first, 1, matrices[i].second, values).end_frame();
  }
  return save_temp(w, name);
}

// A matrix of the extremes of T, exported in every format and read back.
template <typename T>
void round_trip(int32_t code) {
  std::vector<T> values = extremes<T>();
  SdifWriter w;
  w.file_header().begin_frame("XTST", 0.1, -7, 1).matrix_header("XTST", code, 1, int32_t(values.size()));
  for (T v : values) put(w, v);
  std::string path = save_temp(w.pad().end_frame(), "types.sdif");
  for (const char* format : {"csv", "tsv", "jsonl"}) {
    ExportRun r = run_export({"--format", format, path});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<T> back(values.size());
    if (format[0] == 'j') {
      json object = json_lines(r.out).at(0);
      EXPECT_EQ(object["time"], 0.1);
      EXPECT_EQ(object["stream"], -7);
      EXPECT_EQ(object["data_type"], SDIF_DataTypeName(code));
      ASSERT_EQ(object["rows"][0].size(), values.size());
      for (size_t i = 0; i < values.size(); i++) back[i] = from_json<T>(object["rows"][0][i]);
    } else {
      std::vector<std::string> row = table(r.out, format[0] == 'c' ? ',' : '\t').at(1);
      ASSERT_EQ(row.size(), 5 + values.size()) << r.out;
      EXPECT_EQ(std::vector<std::string>(row.begin(), row.begin() + 5),
                std::vector<std::string>({"0.1", "-7", "XTST", "XTST", "0"}));
      for (size_t i = 0; i < values.size(); i++) EXPECT_TRUE(read_back(row[5 + i], back[i])) << row[5 + i];
    }
    // Bit for bit: the quiet NaN read back is the one written.
    for (size_t i = 0; i < values.size(); i++)
      EXPECT_EQ(std::memcmp(&back[i], &values[i], sizeof(T)), 0) << format << SDIF_DataTypeName(code) << i;
  }
}

TEST(ExportRoundTrip, EveryDataTypeBitForBitInEveryFormat) {
  using namespace SdifDataType;
  for (int32_t code : {Float32, Float64, Int8, Int16, Int32, Int64, Uint8, Uint16, Uint32, Uint64, Text}) {
    if (SDIF_DataKind(code) == SdifKind::Text) round_trip<uint8_t>(code);
    SDIF_VisitNumeric(code, 0, [&](auto element) {
      round_trip<decltype(element)>(code);
      return 0;
    });
  }
}

TEST(ExportColumns, NamesAndWhatOneTableHolds) {
  const std::string head = "time,stream,frame,matrix,row,";
  const struct { std::vector<std::pair<const char*, int>> matrices; std::vector<std::string> options; int status;
                 std::string header_or_message; } cases[] = {
      {{{"1TRC", 4}, {"1HRM", 4}}, {}, 0, head + "index,frequency,amplitude,phase"},
      {{{"1HRM", 5}}, {}, 0, head + "index,frequency,amplitude,phase,c4"},
      {{{"1FQ0", 4}}, {}, 0, head + "frequency,confidence,score,real_amplitude"},
      {{{"1STF", 2}}, {}, 0, head + "real,imaginary"},
      {{{"XABC", 3}, {"XDEF", 3}}, {}, 0, head + "c0,c1,c2"},
      {{{"XABC", 0}, {"1STF", 2}}, {}, 0, head + "real,imaginary"},  // a matrix without values sets nothing
      {{{"1FQ0", 2}, {"1TRC", 4}, {"1FQ0", 2}, {"XABC", 1}}, {}, 2,
       "holds 1FQ0 (2 columns), 1TRC (4 columns), XABC (1 column);"},
      {{{"1FQ0", 2}, {"1TRC", 4}}, {"--matrix", "1TRC"}, 0, head + "index,frequency,amplitude,phase"},
      {{{"1STF", 2}, {"XABC", 2}}, {}, 2, "holds 1STF (2 columns), XABC (2 columns)"},
      {{{"1TRC", 4}, {"1TRC", 3}}, {}, 2, "holds 1TRC (4 columns), 1TRC (3 columns)"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = c.options;
    arguments.push_back(frames_of(c.matrices, "columns.sdif"));
    ExportRun r = run_export(arguments);
    EXPECT_EQ(r.status, c.status) << c.header_or_message << ": " << r.err;
    const std::string& text = c.status == 0 ? r.out.substr(0, r.out.find('\r')) : r.err;
    EXPECT_NE(text.find(c.header_or_message), std::string::npos) << text;
  }

  // A type of a comma, a quote, a tab and a backslash, quoted where CSV needs it and given back to
  // --matrix as it is written.
  const char odd[4] = {',', '"', '\t', '\\'};
  const std::string odd_text = ",\"\\x09\\\\";
  SdifWriter w;
  w.file_header().begin_frame(odd, 1, 1, 1).matrix_f32(odd, 1, 1, {5}).end_frame();
  std::string path = save_temp(w, "odd.sdif");
  for (char separator : {',', '\t'}) {
    ExportRun r = run_export({"--format", separator == ',' ? "csv" : "tsv", "--matrix", odd_text, path});
    EXPECT_EQ(table(r.out, separator).at(1), std::vector<std::string>({"1", "1", odd_text, odd_text, "0", "5"}));
  }
  EXPECT_EQ(json_lines(run_export({"--format", "jsonl", path}).out).at(0)["matrix"], odd_text);
}

TEST(ExportSelection, StreamTypesAndTimeAtFrameEdges) {
  // Frames 0 to 4: (time, stream, type), each with matrices AAAA and BBBB holding the frame's number.
  const struct { double time; int32_t stream; const char* type; } frames[] = {
      {0, 1, "1TRC"}, {0.5, 2, "1FQ0"}, {1, 1, "1TRC"}, {1.5, 2, "1TRC"}, {NAN, 1, "1TRC"}};
  SdifWriter w;
  w.file_header();
  for (int i = 0; i < 5; i++)
    w.begin_frame(frames[i].type, frames[i].time, frames[i].stream, 2).matrix_f32("AAAA", 1, 1, {float(i)})
        .matrix_f32("BBBB", 1, 1, {float(i)}).end_frame();
  std::string path = save_temp(w, "selection.sdif");
  const struct { std::vector<std::string> options; std::string taken; } cases[] = {
      {{}, "0A 0B 1A 1B 2A 2B 3A 3B 4A 4B"},
      {{"--stream", "2"}, "1A 1B 3A 3B"},        {{"--frame", "1FQ0"}, "1A 1B"},
      {{"--matrix", "BBBB"}, "0B 1B 2B 3B 4B"}, {{"--time", "0.5:1"}, "1A 1B 2A 2B"},
      {{"--time", "0.5000000000000001:"}, "2A 2B 3A 3B"},
      {{"--time", ":0.9999999999999999"}, "0A 0B 1A 1B"},
      {{"--stream", "1", "--frame", "1TRC", "--matrix", "AAAA", "--time", "0:1"}, "0A 2A"},
      {{"--stream", "3"}, ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = c.options;
    arguments.insert(arguments.end(), {"--format", "jsonl", path});
    ExportRun r = run_export(arguments);
    std::string taken;
    for (const json& object : json_lines(r.out))
      taken += (taken.empty() ? "" : " ") + object["rows"][0][0].dump() + object["matrix"].get<std::string>()[0];
    EXPECT_EQ(taken, c.taken) << c.options.at(0);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.empty(), !c.taken.empty()) << r.err;
  }
}

TEST(ExportWide, OneLinePerSpectrumOfMagnitudes) {
  // Two spectra of three bins, each after a 1STI matrix, and a one-column float64 matrix; then a
  // spectrum of two bins and a 1TRC matrix.
  SdifWriter w;
  w.file_header();
  auto spectrum = [&](double time, std::vector<float> bins, std::vector<double> magnitudes) {
    w.begin_frame("1STF", time, 1, 3).matrix_f32("1STI", 1, 2, {44100, 1024});
    w.matrix_f32("1STF", 3, 2, bins).matrix_f64("XMAG", 3, 1, magnitudes).end_frame();
  };
  spectrum(0, {3, 4, 0, -1, 1, 1}, {0.1, -2, INFINITY});
  spectrum(0.5, {5, 12, 0, 0, -6, 8}, {1e300, 0, NAN});
  std::string good = save_temp(w, "spectra.sdif");
  w.begin_frame("1STF", 1, 1, 2).matrix_f32("1STF", 2, 2, {1, 0, 0, 1}).matrix_f32("1TRC", 1, 4, {1, 2, 3, 4});
  w.end_frame();
  std::string mixed = save_temp(w, "mixed-spectra.sdif");
  const struct { std::vector<std::string> options; int status; std::string out_or_message; } cases[] = {
      // Single-precision parts give a single-precision magnitude: sqrt(2) as a float.
      {{good}, 0, "time,bin0,bin1,bin2\r\n0,5,1,1.4142135\r\n0.5,13,0,10\r\n"},
      {{"--format", "tsv", "--matrix", "XMAG", good}, 0,
       "time\tbin0\tbin1\tbin2\n0\t0.1\t-2\tinf\n0.5\t1e+300\t0\tnan\n"},
      {{"--format", "jsonl", good}, 0, "[0,5,1,1.4142135]\n[0.5,13,0,10]\n"},
      {{mixed}, 2, "the selection holds 1STF (3 bins), 1STF (2 bins); choose"},
      {{"--matrix", "1TRC", mixed}, 2, "the selection holds 1TRC (4 columns)"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = c.options;
    arguments.insert(arguments.begin(), "--wide");
    ExportRun r = run_export(arguments);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE((c.status == 0 ? r.out : r.err).find(c.out_or_message), std::string::npos) << r.out << r.err;
  }
}

TEST(ExportFailures, DamagedCutMissingAndTheOutputFile) {
  // Frames 0 to 2 whole; frame 3 holds a whole matrix, then one whose data type has no readable
  // width (damaged), or that the file ends inside (cut).
  SdifWriter w;
  w.file_header();
  for (int i = 0; i < 3; i++) w.begin_frame("1TRC", i, 1, 1).matrix_f32("1TRC", 1, 4, {1, 2, 3, 4}).end_frame();
  w.begin_frame("1TRC", 3, 1, 2).matrix_f32("1TRC", 1, 4, {1, 2, 3, 4});
  size_t bad_header = w.size();
  std::string cut = temp_path("cut.sdif");
  SdifWriter(w).matrix_f32("1TRC", 1, 4, {1, 2, 3, 4}).save_prefix(cut, bad_header + 20);
  std::string damaged = save_temp(w.matrix_header("1TRC", 3, 1, 1).u32(0).end_frame(), "damaged.sdif");
  std::string out = temp_path("out.csv");
  // The lines of the export, and the message.
  const struct { std::vector<std::string> arguments; int status; size_t lines; std::string message; } cases[] = {
      {{damaged}, 1, 4, damaged + ": damaged at byte " + std::to_string(bad_header) + ": "},
      {{cut}, 0, 4, cut + ": cut inside frame 3 (byte "},
      {{temp_path("missing.sdif")}, 1, 0, temp_path("missing.sdif") + ": unreadable: No such file or directory"},
      {{"-o", out, damaged}, 1, 4, damaged + ": damaged at byte"},
      {{"-o", damaged, damaged}, 1, 0, damaged + ": is the input"},
  };
  for (const auto& c : cases) {
    std::remove(out.c_str());
    ExportRun r = run_export(c.arguments);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.err.find("sdif-export: " + c.message), 0u) << r.err;
    std::vector<uint8_t> written = file_bytes(out);
    std::string text = c.arguments[0] == "-o" ? std::string(written.begin(), written.end()) : r.out;
    EXPECT_EQ(table(text, ',').size(), c.lines) << c.message;
  }
}

TEST(ExportHold, FrameOutgrowingTheHoldLeavesItsWholeLines) {
  // A whole frame, then one of lines that fill the hold and a line that the hold runs out inside.
  FILE* out = std::tmpfile();
  HeldText held(out);
  held.append("whole\n");
  held.frame_done();
  for (size_t i = 0; i < HOLD_BYTES / 8; i++) held.append("1234567\n");
  held.append(std::string(2 * MAX_ROOM, 'x'));
  held.drop_frame();
  held.finish();
  EXPECT_TRUE(held.spilled());
  EXPECT_EQ(std::ftell(out), long(6 + HOLD_BYTES)) << "the line being made is dropped with its frame";
  std::fclose(out);
}

TEST(ExportOptions, UsageErrorsNameTheOption) {
  std::string file = frames_of({{"1TRC", 4}}, "usage.sdif");
  const struct { std::vector<std::string> arguments; int status; std::string out_or_message; } cases[] = {
      {{"--help"}, 0, "Usage: sdif-export"},
      {{"--version"}, 0, std::string("sdif-export ") + SDIF_VIEWER_VERSION + "\n"},
      {{"--bogus", file}, 2, "unknown option '--bogus'"}, {{"-x", file}, 2, "unknown option '-x'"},
      {{"--format", "xml", file}, 2, "--format 'xml'"},
      {{file, "--format"}, 2, "option '--format' needs a value"},
      {{"--stream", "1.5", file}, 2, "--stream '1.5'"}, {{"--stream", "2147483648", file}, 2, "--stream '2147483648'"},
      {{"--frame", "1TR", file}, 2, "--frame '1TR'"},
      {{"--matrix", "1TR\\x0", file}, 2, "--matrix '1TR\\x0'"},
      {{"--time", "2:1", file}, 2, "--time '2:1'"},   {{"--time", "1", file}, 2, "--time '1'"},
      {{"--time", "nan:", file}, 2, "--time 'nan:'"}, {{"-o", "", file}, 2, "-o: the output name is empty"},
      {{}, 2, "no FILE given"},                       {{file, file}, 2, "one FILE at a time"},
  };
  for (const auto& c : cases) {
    ExportRun r = run_export(c.arguments);
    EXPECT_EQ(r.status, c.status) << c.out_or_message;
    const std::string& text = c.status == 0 ? r.out : r.err;
    EXPECT_EQ(text.find(c.status == 0 ? c.out_or_message : "sdif-export: " + c.out_or_message), 0u) << text;
    EXPECT_EQ(r.err.find("Try 'sdif-export --help'") != std::string::npos, c.status == 2);
  }
}

}  // namespace
