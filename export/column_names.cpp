// The standard types' column layouts.
#include "export/column_names.h"

#include <algorithm>

#include "sdif/sdif_format.h"

namespace {

constexpr int MAX_NAMED = 4;

struct Layout {
  const char* type;
  int count;
  const char* names[MAX_NAMED];
};

constexpr Layout LAYOUTS[] = {
    {"1TRC", 4, {"index", "frequency", "amplitude", "phase"}},
    {"1HRM", 4, {"index", "frequency", "amplitude", "phase"}},
    {"1FQ0", 4, {"frequency", "confidence", "score", "real_amplitude"}},
    {"1STF", 2, {"real", "imaginary"}},
};

const Layout* layout_of(const char* type) {
  for (const Layout& layout : LAYOUTS)
    if (SDIF_SameType(type, layout.type)) return &layout;
  return nullptr;
}

}  // namespace

std::string column_name(const char* type, int32_t column) {
  const Layout* layout = layout_of(type);
  if (layout && column < layout->count) return layout->names[column];
  return "c" + std::to_string(column);
}

bool same_column_names(const char* type, const char* other, int32_t columns) {
  // Past the named columns of both, every name is c<N>.
  for (int32_t k = 0; k < std::min(columns, int32_t(MAX_NAMED)); k++)
    if (column_name(type, k) != column_name(other, k)) return false;
  return true;
}
