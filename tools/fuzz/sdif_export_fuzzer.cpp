// libFuzzer target for sdif-export: each input is exported in every format, as rows and with --wide,
// and the output read back: every CSV and TSV line holds as many fields as the header line, every
// JSON line parses, an exit status of 1 or 2 comes with a message, and no run holds more heap than
// sdif-export's bound. Run by scripts/fuzz.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "tests/export/export_runner.h"
#include "tools/fuzz/fuzz_input.h"

namespace {

// sdif-export's memory bound; its output, which the runner keeps in memory, counts against it too.
constexpr size_t HEAP_BOUND = size_t(32) << 20;

void check_lines(const std::string& out, bool json, const std::string& end, char separator) {
  std::vector<std::string> lines, fields;
  if (!split_lines(out, end, lines)) std::abort();
  size_t width = 0;
  for (const std::string& line : lines) {
    if (json) {
      if (!nlohmann::json::accept(line)) std::abort();
      continue;
    }
    if (!split_fields(line, separator, fields)) std::abort();
    if (width == 0) width = fields.size();
    if (fields.size() != width) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  watch_heap();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = write_input(data, size);
  const std::vector<std::string> forms[] = {
      {"--format", "csv"},
      {"--format", "tsv"},
      {"--format", "jsonl"},
      {"--wide", "--matrix", "1TRC"},
      {"--wide", "--format", "jsonl"},
      {"--format", "tsv", "--stream", "1", "--time", "0:1", "--matrix", "1FQ0"},
  };
  for (std::vector<std::string> arguments : forms) {
    bool json = std::find(arguments.begin(), arguments.end(), "jsonl") != arguments.end();
    bool tsv = std::find(arguments.begin(), arguments.end(), "tsv") != arguments.end();
    arguments.push_back(path);
    size_t before = peak_heap_from_now();
    ExportRun run = run_export(arguments);
    if (peak_heap - before > HEAP_BOUND) std::abort();
    if (run.status < 0 || run.status > 2 || (run.status != 0 && run.err.empty())) std::abort();
    check_lines(run.out, json, json || tsv ? "\n" : "\r\n", tsv ? '\t' : ',');
  }
  return 0;
}
