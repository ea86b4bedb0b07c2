// Element access on a loaded matrix: the four numeric data types converted to float, int or double.
// The views read every value they draw through these.
#include <cstring>

#include "sdif/sdif_document.h"

namespace {

enum : int32_t { FLOAT32 = 0x0004, FLOAT64 = 0x0008, INT32 = 0x0104, UINT32 = 0x0204 };

template <typename T>
T element(const SdifMatrix& matrix, int column, int row) {
  T value;
  size_t index = static_cast<size_t>(row) * static_cast<size_t>(matrix.columns) + static_cast<size_t>(column);
  std::memcpy(&value, static_cast<const char*>(matrix.data) + index * sizeof(T), sizeof(T));
  return value;
}

// Truncation toward zero; a value outside the int range (NaN included) has no integer, so `out` stays.
void truncate_into(double value, int32_t& out) {
  if (value > -2147483649.0 && value < 2147483648.0) out = static_cast<int32_t>(value);
}

}  // namespace

bool SdifMatrix::numeric() const {
  return data_type == FLOAT32 || data_type == FLOAT64 || data_type == INT32 || data_type == UINT32;
}

void SdifMatrix::element_as_float(int column, int row, float& out) const {
  switch (data_type) {
    case FLOAT32: out = element<float>(*this, column, row); break;
    case FLOAT64: out = static_cast<float>(element<double>(*this, column, row)); break;
    case INT32: out = static_cast<float>(element<int32_t>(*this, column, row)); break;
    case UINT32: out = static_cast<float>(element<uint32_t>(*this, column, row)); break;
    default: break;
  }
}

void SdifMatrix::element_as_int(int column, int row, int32_t& out) const {
  switch (data_type) {
    case FLOAT32: truncate_into(element<float>(*this, column, row), out); break;
    case FLOAT64: truncate_into(element<double>(*this, column, row), out); break;
    case INT32: out = element<int32_t>(*this, column, row); break;
    case UINT32: out = static_cast<int32_t>(element<uint32_t>(*this, column, row)); break;
    default: break;
  }
}

void SdifMatrix::element_as_double(int column, int row, double& out) const {
  switch (data_type) {
    case FLOAT32: out = element<float>(*this, column, row); break;
    case FLOAT64: out = element<double>(*this, column, row); break;
    case INT32: out = element<int32_t>(*this, column, row); break;
    case UINT32: out = element<uint32_t>(*this, column, row); break;
    default: break;
  }
}
