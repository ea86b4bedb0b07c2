// The public column layouts of the standard matrix types.
#include "sdif/sdif_standard_types.h"

#include "sdif/sdif_format.h"

namespace {

constexpr int MAX_NAMED = 4;

struct Layout {
  const char* type;
  int count;
  const char* names[MAX_NAMED];
};

constexpr Layout LAYOUTS[] = {
    {SDIF_TRACKS_TYPE, 4, {"index", "frequency", "amplitude", "phase"}},
    {SDIF_HARMONICS_TYPE, 4, {"index", "frequency", "amplitude", "phase"}},
    {SDIF_FUNDAMENTAL_TYPE, 4, {"frequency", "confidence", "score", "real_amplitude"}},
    {SDIF_SPECTRUM_TYPE, 2, {"real", "imaginary"}},
};

}  // namespace

const char* SDIF_StandardColumnName(const char* type, int32_t column) {
  for (const Layout& layout : LAYOUTS)
    if (SDIF_SameType(type, layout.type)) return column >= 0 && column < layout.count ? layout.names[column] : nullptr;
  return nullptr;
}
