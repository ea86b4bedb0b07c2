// Writes the survey-filling files.
#include "tools/testfiles/survey_files.h"

#include <vector>

SdifWriter many_wide_types(int streams, int types, int columns) {
  SdifWriter writer;
  writer.file_header();
  std::vector<float> row(static_cast<size_t>(columns));
  for (int c = 0; c < columns; ++c) row[size_t(c)] = float(c);
  for (int stream = 0; stream < streams; ++stream) {
    writer.begin_frame("XWID", 0.25 * stream, stream, types);
    for (int type = 0; type < types; ++type) {
      // W and three digits: types of up to 1000 per frame get names of their own.
      const char name[4] = {'W', char('0' + type / 100 % 10), char('0' + type / 10 % 10), char('0' + type % 10)};
      writer.matrix_f32(name, 1, columns, row);
    }
    writer.end_frame();
  }
  return writer;
}
