// One stream of a test file loaded into memory, with its cursor: what the view tests and benchmarks
// draw from.
#pragma once

#include <string>

#include "sdif/sdif_document.h"
#include "tools/testfiles/sdif_writer.h"

struct LoadedStream {
  // Saves the writer's bytes to the temporary folder, loads every frame (throwing if the file does not
  // load cleanly) and follows the stream of the first frame of `type`.
  LoadedStream(const SdifWriter& writer, const char* type);

  SdifFile file;
  SdifStreamCursor cursor;
};
