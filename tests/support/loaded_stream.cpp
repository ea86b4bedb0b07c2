// Loads a test file and picks out one of its streams. Used by the view tests.
#include "tests/support/loaded_stream.h"

#include <stdexcept>

#include "tests/support/temp_dir.h"

namespace {

std::string next_name() {
  static int count = 0;
  return "stream" + std::to_string(++count) + ".sdif";
}

SdifFrame* all_frames(SdifFile& file) {
  if (file.result != SdifCode::Ok || file.read_all_frames() != SdifCode::Ok)
    throw std::runtime_error("test file did not load");
  return file.frames;
}

}  // namespace

LoadedStream::LoadedStream(const SdifWriter& writer, const char* type)
    : file(save_temp(writer, next_name()).c_str(), 0), cursor(all_frames(file), type) {}
