// Builds SDIF files byte by byte in memory, well-formed or deliberately broken.
// Used by the tests, the benchmarks and the example-file generator; the viewer never writes SDIF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class SdifWriter {
 public:
  // File header: magic, header size, versions, then header_size - 8 zero bytes.
  SdifWriter& file_header(int32_t header_size = 8, int32_t spec_version = 3, int32_t types_version = 1,
                          const char* magic = "SDIF");

  // Frame header; its size field is filled in by end_frame() from the bytes written in between.
  SdifWriter& begin_frame(const char* type, double time, int32_t stream_id, int32_t matrix_count);
  SdifWriter& end_frame();

  // Matrix header only; the elements and the padding are up to the caller.
  SdifWriter& matrix_header(const char* type, int32_t data_type, int32_t rows, int32_t columns);
  // Zero bytes up to the next multiple of 8 counted from the last matrix header's end.
  SdifWriter& pad();

  // Whole matrices (header, elements row after row, padding) of the four element types.
  SdifWriter& matrix_f32(const char* type, int32_t rows, int32_t columns, const std::vector<float>& elements);
  SdifWriter& matrix_f64(const char* type, int32_t rows, int32_t columns, const std::vector<double>& elements);
  SdifWriter& matrix_i32(const char* type, int32_t rows, int32_t columns, const std::vector<int32_t>& elements);
  SdifWriter& matrix_u32(const char* type, int32_t rows, int32_t columns, const std::vector<uint32_t>& elements);

  // Single big-endian values and raw bytes.
  SdifWriter& u8(uint8_t value);
  SdifWriter& u16(uint16_t value);
  SdifWriter& u32(uint32_t value);
  SdifWriter& u64(uint64_t value);
  SdifWriter& i32(int32_t value);
  SdifWriter& f32(float value);
  SdifWriter& f64(double value);
  SdifWriter& raw(const void* data, size_t size);

  const std::vector<uint8_t>& bytes() const { return data; }
  size_t size() const { return data.size(); }
  // Writes the bytes (or the first `length` of them) to `path`; false on failure.
  bool save(const std::string& path) const;
  bool save_prefix(const std::string& path, size_t length) const;

 private:
  template <typename T>
  SdifWriter& matrix_of(const char* type, int32_t data_type, int32_t rows, int32_t columns,
                        const std::vector<T>& elements);

  std::vector<uint8_t> data;
  size_t frame_start = 0;
  size_t matrix_data_start = 0;
};
