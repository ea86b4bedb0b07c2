// Tests of element access on loaded matrices: the four numeric data types converted to float, int
// and double, element order, and types that are not converted.
#include <gtest/gtest.h>

#include <cmath>

#include "sdif/sdif_document.h"
#include "tests/support/loaded_stream.h"
#include "tools/testfiles/sdif_writer.h"

namespace {

// The matrices of the one frame a test file holds, loaded.
class LoadedMatrices {
 public:
  explicit LoadedMatrices(SdifWriter& w) : stream(w.end_frame(), "TEST") {}
  const SdifMatrix& operator[](int n) const {
    const SdifMatrix* m = stream.cursor.first->matrices;
    for (int i = 0; i < n; ++i) m = m->next;
    return *m;
  }

 private:
  LoadedStream stream;
};

SdifWriter frame_of(int matrices) {
  SdifWriter w;
  w.file_header().begin_frame("TEST", 0.0, 1, matrices);
  return w;
}

}  // namespace

TEST(SdifElements, ConvertsEachNumericType) {
  SdifWriter w = frame_of(4);
  w.matrix_f32("TEST", 1, 3, {-2.7f, 0.1f, 3.0e9f});
  w.matrix_f64("TEST", 1, 3, {0.1, -2.7, 1e300});
  w.matrix_i32("TEST", 1, 2, {-16777217, 2147483647});
  w.matrix_u32("TEST", 1, 2, {4294967295u, 7u});
  LoadedMatrices m(w);

  float f = -1.0f;
  int32_t i = -1;
  double d = -1.0;
  m[0].element_as_float(1, 0, f);
  m[0].element_as_int(0, 0, i);
  m[0].element_as_double(1, 0, d);
  EXPECT_EQ(f, 0.1f);
  EXPECT_EQ(i, -2);
  EXPECT_EQ(d, static_cast<double>(0.1f));
  // A float beyond the int range has no integer: the output stays.
  i = 42;
  m[0].element_as_int(2, 0, i);
  EXPECT_EQ(i, 42);

  m[1].element_as_float(0, 0, f);
  m[1].element_as_int(1, 0, i);
  m[1].element_as_double(0, 0, d);
  EXPECT_EQ(f, 0.1f);
  EXPECT_EQ(i, -2);
  EXPECT_EQ(d, 0.1);
  m[1].element_as_float(2, 0, f);
  EXPECT_TRUE(std::isinf(f));

  m[2].element_as_float(0, 0, f);
  m[2].element_as_int(1, 0, i);
  m[2].element_as_double(0, 0, d);
  EXPECT_EQ(f, -16777216.0f);  // the nearest float
  EXPECT_EQ(i, 2147483647);
  EXPECT_EQ(d, -16777217.0);

  m[3].element_as_float(0, 0, f);
  m[3].element_as_int(0, 0, i);
  m[3].element_as_double(0, 0, d);
  EXPECT_EQ(f, 4294967296.0f);
  EXPECT_EQ(i, -1);
  EXPECT_EQ(d, 4294967295.0);

  for (int n = 0; n < 4; ++n) EXPECT_TRUE(m[n].with_elements([](auto) {})) << n;
}

TEST(SdifElements, ReadsRowAfterRow) {
  SdifWriter w = frame_of(1);
  w.matrix_f32("TEST", 3, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8});
  LoadedMatrices m(w);
  float f = -1.0f;
  m[0].element_as_float(1, 2, f);
  EXPECT_EQ(f, 7.0f);
  m[0].element_as_float(2, 1, f);
  EXPECT_EQ(f, 5.0f);
}

TEST(SdifElements, LeavesOutputsOfOtherTypesUntouched) {
  SdifWriter w = frame_of(2);
  w.matrix_header("TEST", 0x0101, 1, 2).u8(5).u8(6).pad();
  w.matrix_header("TEST", 0x0004 | 0x0300, 1, 1).f32(1.5f).pad();
  LoadedMatrices m(w);
  for (int n = 0; n < 2; ++n) {
    float f = 9.5f;
    int32_t i = 9;
    double d = 9.25;
    m[n].element_as_float(0, 0, f);
    m[n].element_as_int(0, 0, i);
    m[n].element_as_double(0, 0, d);
    EXPECT_EQ(f, 9.5f);
    EXPECT_EQ(i, 9);
    EXPECT_EQ(d, 9.25);
    EXPECT_FALSE(m[n].with_elements([](auto) {}));
  }
}
