// Runs sdif-info's main in-process with its standard output and error kept in memory, for its tests and
// its fuzz target.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "info/info_main.h"

struct InfoRun {
  int status;
  std::string out, err;
};

inline InfoRun run_info(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "sdif-info");
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  char* text[2] = {};
  size_t size[2] = {};
  FILE* out = open_memstream(&text[0], &size[0]);
  FILE* err = open_memstream(&text[1], &size[1]);
  if (!out || !err) std::abort();
  InfoRun run{info_main(int(arguments.size()), argv.data(), out, err), "", ""};
  std::fclose(out);
  std::fclose(err);
  run.out.assign(text[0], size[0]);
  run.err.assign(text[1], size[1]);
  std::free(text[0]);
  std::free(text[1]);
  return run;
}
