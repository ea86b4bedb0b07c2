// The table of standard data types behind the decoding functions.
#include "sdif/sdif_data_type.h"

namespace {

struct Described {
  int32_t code;
  SdifKind kind;
  const char* name;
};

constexpr Described STANDARD_TYPES[] = {
    {SdifDataType::Float32, SdifKind::Float, "float32"},  {SdifDataType::Float64, SdifKind::Float, "float64"},
    {SdifDataType::Int8, SdifKind::Signed, "int8"},       {SdifDataType::Int16, SdifKind::Signed, "int16"},
    {SdifDataType::Int32, SdifKind::Signed, "int32"},     {SdifDataType::Int64, SdifKind::Signed, "int64"},
    {SdifDataType::Uint8, SdifKind::Unsigned, "uint8"},   {SdifDataType::Uint16, SdifKind::Unsigned, "uint16"},
    {SdifDataType::Uint32, SdifKind::Unsigned, "uint32"}, {SdifDataType::Uint64, SdifKind::Unsigned, "uint64"},
    {SdifDataType::Text, SdifKind::Text, "text"},
};

const Described* described(int32_t data_type) {
  for (const Described& type : STANDARD_TYPES)
    if (type.code == data_type) return &type;
  return nullptr;
}

}  // namespace

SdifKind SDIF_DataKind(int32_t data_type) {
  const Described* type = described(data_type);
  return type ? type->kind : SdifKind::Unknown;
}

const char* SDIF_DataTypeName(int32_t data_type) {
  const Described* type = described(data_type);
  return type ? type->name : nullptr;
}
