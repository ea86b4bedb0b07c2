// How sdif-info writes the values it reports: type codes whatever their bytes, data-type names, and
// numbers in their shortest exact form. Shared by the text report, the JSON report and the listing.
#pragma once

#include <cstdint>
#include <string>

// The 4 bytes of a frame or matrix type: printable ASCII as it is, a backslash as "\\", any other
// byte as "\xNN", so the text is plain ASCII and says exactly which bytes the file holds.
std::string type_text(const char* bytes);

// "float32", "float64", "int8" to "int64", "uint8" to "uint64", "text", or the code as "0x%04x".
std::string data_type_name(int32_t data_type);


// The shortest text that reads back as the same double; "NaN", "Infinity" and "-Infinity" otherwise.
std::string number_text(double value);

// An element value as its data type writes it: integers in full, 32-bit floats in their shortest form.
std::string element_text(long double value, int32_t data_type);
