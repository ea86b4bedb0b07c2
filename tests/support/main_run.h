// Runs a companion program's main in-process with its standard output and error kept in memory, for
// the programs' tests and fuzz targets.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct MainRun {
  int status;
  std::string out, err;
};

// `main` takes argc and argv with the program's name first, and the two output streams.
inline MainRun run_main(int (*main)(int, char**, FILE*, FILE*), const char* program,
                        std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), program);
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  char* text[2] = {};
  size_t size[2] = {};
  FILE* out = open_memstream(&text[0], &size[0]);
  FILE* err = open_memstream(&text[1], &size[1]);
  if (!out || !err) std::abort();
  MainRun run{main(int(arguments.size()), argv.data(), out, err), "", ""};
  std::fclose(out);
  std::fclose(err);
  run.out.assign(text[0], size[0]);
  run.err.assign(text[1], size[1]);
  std::free(text[0]);
  std::free(text[1]);
  return run;
}
