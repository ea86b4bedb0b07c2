// The standard SDIF frame and matrix types that the programs know by name, and the names of their
// columns where the layout is public. The one place these codes are written: the panel table, the
// export and the synthesis read them here.
#pragma once

#include <cstdint>

// Fundamental-frequency estimates, sinusoidal partial tracks, harmonic partials and short-time spectra,
// each the type of its frames and of the matrix that holds their values.
inline constexpr char SDIF_FUNDAMENTAL_TYPE[] = "1FQ0";
inline constexpr char SDIF_TRACKS_TYPE[] = "1TRC";
inline constexpr char SDIF_HARMONICS_TYPE[] = "1HRM";
inline constexpr char SDIF_SPECTRUM_TYPE[] = "1STF";

// The name of column `column` of the standard matrix type whose 4 bytes are `type`, or null where the
// type or the column has none.
const char* SDIF_StandardColumnName(const char* type, int32_t column);
