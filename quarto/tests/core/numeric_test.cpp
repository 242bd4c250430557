#include "core/numeric.h"

#include <gtest/gtest.h>
#include <cfenv>

namespace {

TEST(Numeric, RoundHalfEvenTable) {
  struct Case {
    double in;
    int64_t out;
  };
  const Case cases[] = {
      {0.5, 0},     {1.5, 2},     {2.5, 2},       {3.5, 4}, {-0.5, 0},  {-1.5, -2},           {-2.5, -2},
      {0.49999, 0}, {0.50001, 1}, {-0.50001, -1}, {7.0, 7}, {-7.0, -7}, {1e6 + 0.5, 1000000},
  };
  for (const auto& c : cases) EXPECT_EQ(quarto::RoundHalfEven(c.in), c.out) << c.in;
}

TEST(Numeric, RoundHalfEvenIgnoresFpuMode) {
  const int saved = std::fegetround();
  for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
    std::fesetround(mode);
    EXPECT_EQ(quarto::RoundHalfEven(2.5), 2);
    EXPECT_EQ(quarto::RoundHalfEven(-3.5), -4);
    EXPECT_EQ(quarto::RoundHalfEven(1.2), 1);
  }
  std::fesetround(saved);
}

TEST(Numeric, RoundClampsHugeAndNan) {
  EXPECT_EQ(quarto::RoundHalfEven(1e300), INT64_MAX);
  EXPECT_EQ(quarto::RoundHalfEven(-1e300), INT64_MIN);
  EXPECT_EQ(quarto::RoundHalfEven(std::nan("")), 0);
  // Large values inside the 64-bit range keep their value; only those beyond it are clamped.
  EXPECT_EQ(quarto::RoundHalfEven(9.2e18), int64_t{9200000000000000000});
  EXPECT_EQ(quarto::RoundHalfEven(-9223372036854775808.0), INT64_MIN);
  EXPECT_EQ(quarto::RoundHalfEven(9223372036854775808.0), INT64_MAX);
  EXPECT_EQ(quarto::RoundHalfEven(4503599627370497.0), int64_t{4503599627370497});
}

TEST(Numeric, DivisionAndReaders) {
  EXPECT_EQ(quarto::DivTrunc(-7, 2), -3);
  EXPECT_EQ(quarto::DivTrunc(7, -2), -3);
  const uint8_t b[] = {0x80, 0x00, 0x03, 0xBE};
  EXPECT_EQ(quarto::ReadLE16(b), 0x0080);
  EXPECT_EQ(quarto::ReadBE16(b), 0x8000);
  EXPECT_EQ(quarto::ReadBE32(b), 0x800003BEu);
}

}  // namespace
