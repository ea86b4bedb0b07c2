// Writes the seed corpus of the file fuzzer into a folder: small valid files of every stream type and
// data type, and every kind of malformed file the loader and the views must survive. Run by scripts/fuzz.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "tools/testfiles/hostile_headers.h"
#include "tools/testfiles/sdif_writer.h"

namespace {

struct Seed {
  std::string name;
  SdifWriter file;
};

struct DataType {
  const char* name;
  int32_t code;
};

// The four numeric types the views read, and the two other readable widths, which they must ignore.
constexpr DataType data_types[] = {{"f32", 0x0004}, {"f64", 0x0008}, {"i32", 0x0104},
                                   {"u32", 0x0204}, {"u8", 0x0301},  {"i16", 0x0102}};

// A whole matrix of `data_type` holding `elements` row after row, each converted to the element type.
SdifWriter& matrix(SdifWriter& w, const char* type, int32_t data_type, int32_t rows, int32_t columns,
                   const std::vector<double>& elements) {
  w.matrix_header(type, data_type, rows, columns);
  for (double v : elements) {
    switch (data_type) {
      case 0x0004: w.f32(float(v)); break;
      case 0x0008: w.f64(v); break;
      case 0x0104: w.i32(int32_t(v)); break;
      case 0x0204: w.u32(uint32_t(int64_t(v))); break;
      case 0x0301: w.u8(uint8_t(int64_t(v))); break;
      default: w.u16(uint16_t(int64_t(v))); break;
    }
  }
  return w.pad();
}

// Three frames of one view's stream: value and weight rows for "1FQ0", index, frequency, amplitude and
// phase rows for "1TRC", and for "1STF" a one-row first matrix followed by a spectrum of 8 bins.
SdifWriter stream(const char* type, int32_t data_type) {
  SdifWriter w;
  w.file_header();
  for (int f = 0; f < 3; f++) {
    double time = 0.5 * f;
    if (std::string(type) == "1FQ0") {
      w.begin_frame(type, time, 1, 1);
      matrix(w, type, data_type, 2, 2, {200.0 + 10 * f, 0.8, 400.0 - 10 * f, 0.3});
    } else if (std::string(type) == "1TRC") {
      w.begin_frame(type, time, 2, 1);
      matrix(w, type, data_type, 3, 4, {1, 440.0 + f, 0.5, 0, 2, 880, 0.25, 0, double(3 + f), 1320, 0.125, 0});
    } else {
      w.begin_frame(type, time, 3, 2);
      matrix(w, "1STI", data_type, 1, 2, {44100, 1024});
      std::vector<double> bins;
      for (int b = 0; b < 8; b++) bins.insert(bins.end(), {0.1 * b, 0.05 * f});
      matrix(w, type, data_type, 8, 2, bins);
    }
    w.end_frame();
  }
  return w;
}

// All three streams interleaved with a stream of another type, as an analysis program writes them.
SdifWriter interleaved() {
  SdifWriter w;
  w.file_header(16);
  for (int f = 0; f < 4; f++) {
    double time = 0.25 * f;
    w.begin_frame("1FQ0", time, 1, 1).matrix_f64("1FQ0", 1, 2, {220.0 + f, 0.9}).end_frame();
    w.begin_frame("1ENV", time, 4, 1).matrix_f32("1ENV", 2, 1, {0.5f, 0.25f}).end_frame();
    w.begin_frame("1TRC", time, 2, 1).matrix_f32("1TRC", 2, 4, {0, 220, 0.5f, 0, 1, 440, 0.25f, 0}).end_frame();
    w.begin_frame("1STF", time, 3, 2).matrix_f32("1STI", 1, 2, {44100, 8}).matrix_f32("1STF", 4, 2,
                                                                                    {0.1f, 0, 0.2f, 0.1f, 0, 0.3f, 0.4f, 0});
    w.end_frame();
  }
  return w;
}

// A "1TRC" stream whose frame times are `times`, each frame holding one partial.
SdifWriter tracks_at(const std::vector<double>& times) {
  SdifWriter w;
  w.file_header();
  int32_t index = 0;
  for (double time : times)
    w.begin_frame("1TRC", time, 1, 1).matrix_f32("1TRC", 1, 3, {float(index++ % 3), 300, 0.5f}).end_frame();
  return w;
}

std::vector<Seed> seeds() {
  std::vector<Seed> all;
  for (const char* type : {"1FQ0", "1TRC", "1STF"})
    for (const DataType& d : data_types) all.push_back({std::string("valid-") + type + "-" + d.name, stream(type, d.code)});
  all.push_back({"interleaved", interleaved()});

  SdifWriter two_streams;
  two_streams.file_header();
  for (int f = 0; f < 3; f++)
    for (int32_t id : {5, 6})
      two_streams.begin_frame("1FQ0", f, id, 1).matrix_f32("1FQ0", 1, 2, {100.0f * id, 0.5f}).end_frame();
  all.push_back({"two-streams-one-type", two_streams});

  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  all.push_back({"equal-times", tracks_at({1, 1, 1})});
  all.push_back({"decreasing-times", tracks_at({2, 1, 0})});
  all.push_back({"nan-time", tracks_at({0, nan, 1})});
  all.push_back({"infinite-times", tracks_at({-inf, 0, inf})});
  all.push_back({"huge-times", tracks_at({-1e308, 1e308})});

  // Rows and values that have no place in the views' arrays or no meaning in their columns.
  SdifWriter odd_rows;
  odd_rows.file_header();
  std::vector<float> many(300 * 2, 0.5f);
  odd_rows.begin_frame("1FQ0", 0, 1, 1).matrix_f32("1FQ0", 300, 2, many).end_frame();
  odd_rows.begin_frame("1FQ0", 1, 1, 1).matrix_f32("1FQ0", 2, 1, {1e30f, -1e30f}).end_frame();
  odd_rows.begin_frame("1TRC", 0, 2, 1)
      .matrix_f32("1TRC", 4, 3, {-1, 100, 0.5f, 256, 200, 0.5f, 3e9f, 300, 0.5f, std::nanf(""), 400, 0.5f})
      .end_frame();
  odd_rows.begin_frame("1TRC", 1, 2, 1).matrix_f32("1TRC", 1, 2, {1, 100}).end_frame();
  odd_rows.begin_frame("1STF", 0, 3, 2).matrix_f32("1STI", 1, 1, {1}).matrix_f32("1STF", 300, 2, many).end_frame();
  odd_rows.begin_frame("1STF", 1, 3, 1).matrix_f32("1STF", 2, 2, {1, 1, 1, 1}).end_frame();
  odd_rows.begin_frame("1STF", 2, 3, 0).end_frame();
  all.push_back({"odd-rows", odd_rows});

  // A block larger than the loader's small ones, which it holds against the length of the file.
  std::vector<float> partials;
  for (int i = 0; i < 400; i++) partials.insert(partials.end(), {float(i % 256), 100.0f + i, 0.5f, 0});
  SdifWriter large;
  large.file_header().begin_frame("1TRC", 0, 1, 1).matrix_f32("1TRC", 400, 4, partials).end_frame();
  large.begin_frame("1TRC", 1, 1, 1).matrix_f32("1TRC", 1, 4, {1, 200, 0.5f, 0}).end_frame();
  all.push_back({"large-block", large});

  // Broken file headers.
  all.push_back({"not-sdif", SdifWriter().raw("RIFF\0\0\0\0WAVEfmt ", 16)});
  all.push_back({"three-bytes", SdifWriter().raw("SDI", 3)});
  all.push_back({"header-size-12", SdifWriter().file_header(12)});
  all.push_back({"header-size-negative", SdifWriter().file_header(-8)});
  all.push_back({"spec-version-2", SdifWriter().file_header(8, 2)});
  all.push_back({"types-version-0", SdifWriter().file_header(8, 3, 0)});
  SdifWriter cut_header;
  cut_header.file_header();
  all.push_back({"header-only", cut_header});
  all.push_back({"header-cut", SdifWriter().raw("SDIF", 4).i32(8)});

  // Broken frames and matrices.
  SdifWriter cut = stream("1TRC", 0x0004);
  all.push_back({"cut-inside-frame", SdifWriter().raw(cut.bytes().data(), cut.size() - 5)});
  SdifWriter width3 = stream("1FQ0", 0x0004);
  width3.begin_frame("1FQ0", 2, 1, 1).matrix_header("1FQ0", 0x0003, 1, 2).u32(0).u32(0).end_frame();
  width3.begin_frame("1FQ0", 3, 1, 1).matrix_f32("1FQ0", 1, 2, {100, 1}).end_frame();
  all.push_back({"width-3-mid-file", width3});
  SdifWriter no_matrices;
  no_matrices.file_header();
  for (int f = 0; f < 3; f++) no_matrices.begin_frame(f == 1 ? "1TRC" : "1FQ0", f, 1, 0).end_frame();
  all.push_back({"frames-without-matrices", no_matrices});
  for (const HostileFile& h : hostile_files()) all.push_back({std::string("hostile-") + h.name, h.file});
  return all;
}

// Keeps file names to letters, digits and dashes.
std::string file_name(const std::string& name) {
  std::string out;
  for (char c : name) out += std::isalnum(static_cast<unsigned char>(c)) ? c : '-';
  return out + ".sdif";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-fuzz-seeds FOLDER\n");
    return 2;
  }
  for (const Seed& seed : seeds()) {
    std::string path = std::string(argv[1]) + "/" + file_name(seed.name);
    if (!seed.file.save(path)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
