// The hostile-header files: each one is a few dozen bytes that claim gigabytes or impossible sizes.
// Shared so that the tests, the memory benchmark and the fuzz seeds load the same claims.
#include "tools/testfiles/hostile_headers.h"

SdifWriter claiming(int32_t data_type, int32_t rows, int32_t columns, int32_t matrix_count) {
  SdifWriter w;
  w.file_header();
  w.begin_frame("1TRC", 0.0, 1, 1).matrix_f32("1TRC", 1, 4, {1, 440, 0.5f, 0}).end_frame();
  w.begin_frame("1TRC", 0.1, 1, matrix_count).matrix_header("1TRC", data_type, rows, columns);
  return w.u32(1).u32(2).end_frame();
}

std::vector<HostileFile> hostile_files() {
  SdifWriter long_header;
  long_header.raw("SDIF", 4).i32(2147483640).i32(3).i32(1);
  return {
      {"2^20 x 256 float32 rows (1 GiB)", claiming(0x0004, 1 << 20, 256)},
      {"2^28-1 x 1 float64 (2 GiB - 8)", claiming(0x0008, 268435455, 1)},
      {"1 x 2147483640 bytes", claiming(0x0301, 1, 2147483640)},
      {"width 3, 2^20 x 256", claiming(0x0003, 1 << 20, 256)},
      {"width 255, 1000 x 1000", claiming(0x00FF, 1000, 1000)},
      {"rows -1", claiming(0x0004, -1, 4)},
      {"columns -4", claiming(0x0004, 4, -4)},
      {"rows and columns INT32_MIN", claiming(0x0004, INT32_MIN, INT32_MIN)},
      {"65536 x 65536 float32 (product overflows)", claiming(0x0004, 65536, 65536)},
      {"46341 x 46341 float64 (size overflows)", claiming(0x0008, 46341, 46341)},
      {"INT32_MAX matrices of 0 rows", claiming(0x0004, 0, 4, INT32_MAX)},
      {"-5 matrices", claiming(0x0004, 1, 4, -5)},
      {"file header claiming 2 GiB", long_header},
  };
}
