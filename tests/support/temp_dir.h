// A private temporary folder for the files one test process writes, removed when the process ends,
// and the helpers that put SDIF test files there and read files back. Used by every file-based test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/testfiles/sdif_writer.h"

// Path of `name` inside the process's temporary folder (created on first use).
std::string temp_path(const std::string& name);
// Saves the writer's bytes as `name` in that folder and returns the path; throws when it cannot,
// so that a test never goes on to read a file that is not there.
std::string save_temp(const SdifWriter& writer, const std::string& name);
// Every byte of the file at `path` (empty when it cannot be read).
std::vector<uint8_t> file_bytes(const std::string& path);
