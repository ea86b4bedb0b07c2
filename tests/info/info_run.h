// Runs sdif-info's main in-process with its standard output and error kept in memory, for its tests and
// its fuzz target.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "info/info_main.h"
#include "tests/support/main_run.h"

using InfoRun = MainRun;

inline InfoRun run_info(std::vector<std::string> arguments) {
  return run_main(info_main, "sdif-info", std::move(arguments));
}
