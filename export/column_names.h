// The names sdif-export gives a matrix's columns: those of the standard matrix types whose layout is
// public, and c0, c1, ... for every other column.
#pragma once

#include <cstdint>
#include <string>

// The name of column `column` of matrices of the 4-byte type `type`.
std::string column_name(const char* type, int32_t column);

// Whether the first `columns` columns of the two types have the same names.
bool same_column_names(const char* type, const char* other, int32_t columns);
