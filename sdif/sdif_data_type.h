// The SDIF matrix data types: what a data-type code says about its elements (width, kind of number,
// the name reports give it). The one place that decodes the codes; the byte layer, the document, the
// views and the companion programs all ask here.
#pragma once

#include <cstdint>

// The codes of the standard types. The low byte of a code is the width of one element in bytes,
// the byte above it the kind of value.
namespace SdifDataType {
enum : int32_t {
  Float32 = 0x0004,
  Float64 = 0x0008,
  Int8 = 0x0101,
  Int16 = 0x0102,
  Int32 = 0x0104,
  Int64 = 0x0108,
  Uint8 = 0x0201,
  Uint16 = 0x0202,
  Uint32 = 0x0204,
  Uint64 = 0x0208,
  Text = 0x0301,
};
}

enum class SdifKind { Float, Signed, Unsigned, Text, Unknown };

// The width in bytes of one element of any code, standard or not: the byte layer moves elements of
// every width it can read, whatever their kind.
constexpr int SDIF_ElementWidth(int32_t data_type) {
  constexpr int32_t WIDTH_BITS = 0xFF;
  return data_type & WIDTH_BITS;
}

// The kind of a standard code; Unknown for any other code.
SdifKind SDIF_DataKind(int32_t data_type);

// True for the ten numeric codes, floats and integers of every standard width.
inline bool SDIF_IsNumeric(int32_t data_type) {
  SdifKind kind = SDIF_DataKind(data_type);
  return kind == SdifKind::Float || kind == SdifKind::Signed || kind == SdifKind::Unsigned;
}

// "float32", "int16", "uint64", "text" and so on; null for a code that is no standard type.
const char* SDIF_DataTypeName(int32_t data_type);

// Calls `visit` with a value of the C++ type of a numeric code's elements (float, int16_t, uint64_t,
// ...) and returns what it returns; returns `otherwise` for a code that is not numeric. Loops over
// many elements go through this, so that the code is looked at once rather than at every element.
template <class Result, class Visit>
Result SDIF_VisitNumeric(int32_t data_type, Result otherwise, Visit visit) {
  switch (data_type) {
    case SdifDataType::Float32: return visit(float{});
    case SdifDataType::Float64: return visit(double{});
    case SdifDataType::Int8: return visit(int8_t{});
    case SdifDataType::Int16: return visit(int16_t{});
    case SdifDataType::Int32: return visit(int32_t{});
    case SdifDataType::Int64: return visit(int64_t{});
    case SdifDataType::Uint8: return visit(uint8_t{});
    case SdifDataType::Uint16: return visit(uint16_t{});
    case SdifDataType::Uint32: return visit(uint32_t{});
    case SdifDataType::Uint64: return visit(uint64_t{});
    default: return otherwise;
  }
}
