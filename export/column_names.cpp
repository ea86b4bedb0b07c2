// Column names from the standard types' public layouts, c<N> elsewhere.
#include "export/column_names.h"

#include "sdif/sdif_standard_types.h"

std::string column_name(const char* type, int32_t column) {
  if (const char* name = SDIF_StandardColumnName(type, column)) return name;
  return "c" + std::to_string(column);
}

bool same_column_names(const char* type, const char* other, int32_t columns) {
  for (int32_t k = 0; k < columns; k++) {
    const char* name = SDIF_StandardColumnName(type, k);
    const char* other_name = SDIF_StandardColumnName(other, k);
    // Past the named columns of both, every name is c<N>.
    if (!name && !other_name) return true;
    if (column_name(type, k) != column_name(other, k)) return false;
  }
  return true;
}
