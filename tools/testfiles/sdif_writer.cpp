// Big-endian serialisation of SDIF headers and elements into a byte vector, with no validation,
// so that tests can write exactly the malformed files they need.
#include "tools/testfiles/sdif_writer.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

SdifWriter& SdifWriter::file_header(int32_t header_size, int32_t spec_version, int32_t types_version,
                                    const char* magic) {
  raw(magic, 4);
  i32(header_size).i32(spec_version).i32(types_version);
  for (int32_t i = 8; i < header_size; i++) u8(0);
  return *this;
}

SdifWriter& SdifWriter::begin_frame(const char* type, double time, int32_t stream_id, int32_t matrix_count) {
  frame_start = data.size();
  raw(type, 4);
  i32(0).f64(time).i32(stream_id).i32(matrix_count);
  return *this;
}

SdifWriter& SdifWriter::end_frame() {
  uint32_t size = uint32_t(data.size() - frame_start - 8);
  for (int i = 0; i < 4; i++) data[frame_start + 4 + i] = uint8_t(size >> (24 - 8 * i));
  return *this;
}

SdifWriter& SdifWriter::matrix_header(const char* type, int32_t data_type, int32_t rows, int32_t columns) {
  raw(type, 4);
  i32(data_type).i32(rows).i32(columns);
  matrix_data_start = data.size();
  return *this;
}

SdifWriter& SdifWriter::pad() {
  while ((data.size() - matrix_data_start) % 8 != 0) u8(0);
  return *this;
}

template <typename T>
SdifWriter& SdifWriter::matrix_of(const char* type, int32_t data_type, int32_t rows, int32_t columns,
                                  const std::vector<T>& elements) {
  matrix_header(type, data_type, rows, columns);
  for (T v : elements) {
    if constexpr (std::is_same_v<T, float>) f32(v);
    if constexpr (std::is_same_v<T, double>) f64(v);
    if constexpr (std::is_same_v<T, int32_t>) i32(v);
    if constexpr (std::is_same_v<T, uint32_t>) u32(v);
  }
  return pad();
}

SdifWriter& SdifWriter::matrix_f32(const char* type, int32_t rows, int32_t columns, const std::vector<float>& elements) {
  return matrix_of(type, 0x0004, rows, columns, elements);
}

SdifWriter& SdifWriter::matrix_f64(const char* type, int32_t rows, int32_t columns,
                                   const std::vector<double>& elements) {
  return matrix_of(type, 0x0008, rows, columns, elements);
}

SdifWriter& SdifWriter::matrix_i32(const char* type, int32_t rows, int32_t columns,
                                   const std::vector<int32_t>& elements) {
  return matrix_of(type, 0x0104, rows, columns, elements);
}

SdifWriter& SdifWriter::matrix_u32(const char* type, int32_t rows, int32_t columns,
                                   const std::vector<uint32_t>& elements) {
  return matrix_of(type, 0x0204, rows, columns, elements);
}

SdifWriter& SdifWriter::u8(uint8_t value) {
  data.push_back(value);
  return *this;
}

SdifWriter& SdifWriter::u16(uint16_t value) { return u8(uint8_t(value >> 8)).u8(uint8_t(value)); }

SdifWriter& SdifWriter::u32(uint32_t value) { return u16(uint16_t(value >> 16)).u16(uint16_t(value)); }

SdifWriter& SdifWriter::u64(uint64_t value) { return u32(uint32_t(value >> 32)).u32(uint32_t(value)); }

SdifWriter& SdifWriter::i32(int32_t value) { return u32(uint32_t(value)); }

SdifWriter& SdifWriter::f32(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return u32(bits);
}

SdifWriter& SdifWriter::f64(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, 8);
  return u64(bits);
}

SdifWriter& SdifWriter::raw(const void* bytes, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  data.insert(data.end(), p, p + size);
  return *this;
}

bool SdifWriter::save(const std::string& path) const { return save_prefix(path, data.size()); }

bool SdifWriter::save_prefix(const std::string& path, size_t length) const {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool written = length <= data.size() && (length == 0 || std::fwrite(data.data(), 1, length, f) == length);
  return std::fclose(f) == 0 && written;
}
