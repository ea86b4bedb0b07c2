// One text per result code, indexed by code; a code added without its text fails to compile.
#include "cli/read_error.h"

#include <cstring>
#include <iterator>

namespace {

const char* const TEXTS[] = {
    "read without error",
    "cannot be opened",
    "not an SDIF file",
    "a frame header is too short for its time and stream",
    "cannot be skipped through to its frames",
    "a matrix holds elements of a size that cannot be read",
    "failed for a reason without a name",
    "has no more data",
    "a matrix header gives impossible sizes",
    "written for an SDIF version before 3",
    "declares an older version of the standard types",
    "cannot be written",
    "ends too soon",
    "out of memory",
    "a frame holds two matrices of the same type",
    "reading was cancelled",
};
static_assert(std::size(TEXTS) == SdifCode::Count, "every result code has its text");

}  // namespace

std::string read_error_text(SdifResult code, int error_number) {
  if (error_number != 0) return std::strerror(error_number);
  if (code < 0 || code >= SdifCode::Count) return "failed with code " + std::to_string(code);
  return TEXTS[code];
}
