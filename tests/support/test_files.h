// Test files: a private temporary folder for the files one test process writes (removed when the
// process ends), SDIF files saved there from a writer or put in a pipe, and one stream of such a file
// loaded into memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sdif/sdif_document.h"
#include "tools/testfiles/sdif_writer.h"

// Path of `name` inside the process's temporary folder (created on first use).
std::string temp_path(const std::string& name);
// Saves the writer's bytes as `name` there and returns the path; throws when it cannot.
std::string save_temp(const SdifWriter& writer, const std::string& name);
std::vector<uint8_t> file_bytes(const std::string& path);

// A pipe already holding the writer's bytes, its writing end closed, named by a path the loader can
// open as it opens a file. Its buffer is made large enough that no second thread has to feed it.
struct FilledPipe {
  explicit FilledPipe(const SdifWriter& writer);
  ~FilledPipe();
  std::string path;

 private:
  int read_end;
};

// Every frame of the writer's file, loaded (throwing if it does not load cleanly), and a cursor on the
// stream of the first frame of `type`.
struct LoadedStream {
  LoadedStream(const SdifWriter& writer, const char* type);
  SdifFile file;
  SdifStreamCursor cursor;
};
