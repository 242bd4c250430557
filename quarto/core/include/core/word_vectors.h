#pragma once
// Eight 16-bit words at once, through the vector types GCC and Clang share (no instruction-set
// intrinsics, so the code builds for any target they support). The scan's fast walk uses them for
// PLT 4.5 polygon points: pairs of little-endian 16-bit words, which on a little-endian machine
// load straight into the lanes. QUARTO_WORD_VECTORS is 0 where they cannot be used; the fast walk
// then takes its word-by-word loop alone.
#include <cstdint>
#include <cstring>

#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define QUARTO_WORD_VECTORS 1
#else
#define QUARTO_WORD_VECTORS 0
#endif

#if QUARTO_WORD_VECTORS
namespace quarto::words {

using I16x8 = int16_t __attribute__((vector_size(16)));
using U16x8 = uint16_t __attribute__((vector_size(16)));

inline I16x8 Load(const uint8_t* p) {
  I16x8 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
// True when any lane of a comparison's result is set.
inline bool Any(I16x8 mask) {
  uint64_t h[2];
  std::memcpy(h, &mask, sizeof h);
  return (h[0] | h[1]) != 0;
}
inline I16x8 Min(I16x8 a, I16x8 b) {
  const I16x8 a_less = a < b;
  return (a & a_less) | (b & ~a_less);
}
inline I16x8 Max(I16x8 a, I16x8 b) {
  const I16x8 a_more = a > b;
  return (a & a_more) | (b & ~a_more);
}

}  // namespace quarto::words
#endif
