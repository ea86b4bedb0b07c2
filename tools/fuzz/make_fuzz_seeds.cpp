// Writes the seed corpus of the file fuzzer into a folder: small valid files of every stream type and
// data type, and every kind of malformed file the loader and the views must survive. Run by scripts/fuzz.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/testfiles/hostile_headers.h"
#include "tools/testfiles/sdif_writer.h"

namespace {

// Three frames of one view's stream with elements of `data_type`: value and weight rows for "1FQ0",
// index, frequency, amplitude and phase rows for "1TRC", and for "1STF" a one-row first matrix followed
// by a spectrum of 8 bins. Besides the four numeric types the views read, the bytes and 16-bit widths.
SdifWriter stream(const char* type, int32_t data_type) {
  SdifWriter w;
  w.file_header();
  for (int f = 0; f < 3; f++) {
    std::vector<double> elements = {200.0 + 10 * f, 0.8, 400.0 - 10 * f, 0.3};
    if (type[1] == 'T') elements = {1, 440.0 + f, 0.5, 0, 2, 880, 0.25, 0, double(3 + f), 1320, 0.125, 0};
    if (type[1] == 'S') elements.assign(16, 0.05 * f + 0.1);
    int columns = type[1] == 'T' ? 4 : 2;
    w.begin_frame(type, 0.5 * f, 1, type[1] == 'S' ? 2 : 1);
    if (type[1] == 'S') w.matrix_f32("1STI", 1, 2, {44100, 1024});
    w.matrix_header(type, data_type, int32_t(elements.size()) / columns, columns);
    for (double v : elements) {
      if (data_type == 0x0004) w.f32(float(v));
      if (data_type == 0x0008) w.f64(v);
      if (data_type == 0x0104 || data_type == 0x0204) w.i32(int32_t(v));
      if (data_type == 0x0301) w.u8(uint8_t(int64_t(v)));
      if (data_type == 0x0102) w.u16(uint16_t(int64_t(v)));
    }
    w.pad().end_frame();
  }
  return w;
}

// A "1TRC" stream whose frame times are `times`, each frame holding one partial.
SdifWriter tracks_at(const std::vector<double>& times) {
  SdifWriter w;
  w.file_header();
  for (size_t i = 0; i < times.size(); i++)
    w.begin_frame("1TRC", times[i], 1, 1).matrix_f32("1TRC", 1, 3, {float(i % 3), 300, 0.5f}).end_frame();
  return w;
}

struct Seed {
  std::string name;
  SdifWriter file;
};

std::vector<Seed> seeds() {
  std::vector<Seed> all;
  for (const char* type : {"1FQ0", "1TRC", "1STF"})
    for (int32_t data_type : {0x0004, 0x0008, 0x0104, 0x0204, 0x0301, 0x0102})
      all.push_back({std::string(type) + "-" + std::to_string(data_type), stream(type, data_type)});

  // All three streams interleaved with a stream of another type and a second stream of one type.
  SdifWriter mixed;
  mixed.file_header(16);
  for (int f = 0; f < 4; f++) {
    mixed.begin_frame("1FQ0", 0.25 * f, 1, 1).matrix_f64("1FQ0", 1, 2, {220.0 + f, 0.9}).end_frame();
    mixed.begin_frame("1FQ0", 0.25 * f, 5, 1).matrix_f32("1FQ0", 1, 2, {500, 0.5f}).end_frame();
    mixed.begin_frame("1ENV", 0.25 * f, 4, 1).matrix_f32("1ENV", 2, 1, {0.5f, 0.25f}).end_frame();
    mixed.begin_frame("1TRC", 0.25 * f, 2, 1).matrix_f32("1TRC", 2, 4, {0, 220, 0.5f, 0, 1, 440, 0.25f, 0}).end_frame();
    mixed.begin_frame("1STF", 0.25 * f, 3, 2).matrix_f32("1STI", 1, 2, {44100, 8});
    mixed.matrix_f32("1STF", 2, 2, {0.1f, 0, 0.2f, 0.1f}).end_frame();
  }
  all.push_back({"interleaved", mixed});

  for (const std::vector<double>& times : std::vector<std::vector<double>>{
           {1, 1, 1}, {2, 1, 0}, {0, NAN, 1}, {-INFINITY, 0, INFINITY}, {-1e308, 1e308}})
    all.push_back({"times-" + std::to_string(all.size()), tracks_at(times)});

  // Rows and values that have no place in the views' arrays or no meaning in their columns, and a block
  // larger than the loader's small ones.
  std::vector<float> many(400 * 4, 0.5f);
  SdifWriter odd;
  odd.file_header();
  odd.begin_frame("1FQ0", 0, 1, 1).matrix_f32("1FQ0", 300, 2, many).end_frame();
  odd.begin_frame("1FQ0", 1, 1, 1).matrix_f32("1FQ0", 2, 1, {1e30f, -1e30f}).end_frame();
  odd.begin_frame("1TRC", 0, 2, 1);
  odd.matrix_f32("1TRC", 4, 3, {-1, 100, 0.5f, 256, 200, 0.5f, 3e9f, 300, 0.5f, NAN, 400, 0.5f});
  odd.end_frame().begin_frame("1TRC", 1, 2, 1).matrix_f32("1TRC", 400, 4, many).end_frame();
  odd.begin_frame("1STF", 0, 3, 2).matrix_f32("1STI", 1, 1, {1}).matrix_f32("1STF", 300, 2, many).end_frame();
  odd.begin_frame("1STF", 1, 3, 1).matrix_f32("1STF", 2, 2, {1, 1, 1, 1}).end_frame();
  odd.begin_frame("1STF", 2, 3, 0).end_frame();
  all.push_back({"odd-rows", odd});

  // Broken file headers, frames and matrices.
  all.push_back({"not-sdif", SdifWriter().raw("RIFF\0\0\0\0WAVEfmt ", 16)});
  all.push_back({"three-bytes", SdifWriter().raw("SDI", 3)});
  all.push_back({"header-cut", SdifWriter().raw("SDIF", 4).i32(8)});
  const int32_t headers[][3] = {{12, 3, 1}, {-8, 3, 1}, {8, 2, 1}, {8, 3, 0}, {8, 3, 1}};
  for (const auto& h : headers)
    all.push_back({"header-" + std::to_string(h[0]) + "-" + std::to_string(h[1]) + "-" + std::to_string(h[2]),
                   SdifWriter().file_header(h[0], h[1], h[2])});
  SdifWriter cut = stream("1TRC", 0x0004);
  all.push_back({"cut-inside-frame", SdifWriter().raw(cut.bytes().data(), cut.size() - 5)});
  SdifWriter width3 = stream("1FQ0", 0x0004);
  width3.begin_frame("1FQ0", 2, 1, 1).matrix_header("1FQ0", 0x0003, 1, 2).u32(0).u32(0).end_frame();
  width3.begin_frame("1FQ0", 3, 1, 1).matrix_f32("1FQ0", 1, 2, {100, 1}).end_frame();
  all.push_back({"width-3-mid-file", width3});
  // Spectra that claim a billion bins but hold no values: drawing and probing them must not walk the bins.
  SdifWriter empty_bins;
  empty_bins.file_header();
  for (int f = 0; f < 2; ++f)
    empty_bins.begin_frame("1STF", f, 3, 2).matrix_f32("1STI", 1, 2, {44100, 1024}).matrix_header("1STF", 0x0004, 1 << 30, 0).end_frame();
  all.push_back({"billion-empty-bins", empty_bins});
  for (const HostileFile& h : hostile_files()) all.push_back({std::string("hostile-") + h.name, h.file});
  return all;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-fuzz-seeds FOLDER\n");
    return 2;
  }
  for (const Seed& seed : seeds()) {
    std::string name = seed.name;
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '-';  // a plain file name
    std::string path = std::string(argv[1]) + "/" + name + ".sdif";
    if (!seed.file.save(path)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
