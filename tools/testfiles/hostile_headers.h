// Small SDIF files whose matrix or file headers claim huge, negative or overflowing sizes.
// Used by the loader's hostile-input tests, the hostile-memory benchmark and the fuzz seed corpus.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/testfiles/sdif_writer.h"

// A valid "1TRC" frame, then a frame of `matrix_count` matrices whose first has the given header and
// is followed by only 8 bytes of data.
SdifWriter claiming(int32_t data_type, int32_t rows, int32_t columns, int32_t matrix_count = 1);

struct HostileFile {
  const char* name;
  SdifWriter file;
};

// One file for each kind of impossible claim: huge row counts, huge widths, unreadable widths,
// negative counts, counts whose product overflows, huge matrix counts and a huge file header.
std::vector<HostileFile> hostile_files();
