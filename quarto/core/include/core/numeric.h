#pragma once
// Numeric helpers shared by the plot readers and renderers.
#include <cmath>
#include <cstdint>

namespace quarto {

// Round to nearest, halves to the even neighbour, whatever the FPU rounding mode is.
// Values outside the 64-bit range (and NaN) are clamped so a caller never sees undefined behaviour.
inline int64_t RoundHalfEven(double v) {
  constexpr double kTwo63 = 9223372036854775808.0;  // 2^63, exactly representable
  if (std::isnan(v)) return 0;
  if (v >= kTwo63) return INT64_MAX;
  if (v < -kTwo63) return INT64_MIN;
  double fl = std::floor(v);
  double diff = v - fl;
  int64_t f = static_cast<int64_t>(fl);
  if (diff > 0.5) return f + 1;
  if (diff < 0.5) return f;
  return (f % 2 == 0) ? f : f + 1;
}

// Integer division truncated toward zero (C++ already truncates; named for the call sites).
inline int64_t DivTrunc(int64_t a, int64_t b) { return a / b; }

inline uint16_t ReadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint16_t ReadBE16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t ReadBE32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

}  // namespace quarto
