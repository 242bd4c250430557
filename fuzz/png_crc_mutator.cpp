// Mutations of the PNG target: libFuzzer's own, after which every chunk's CRC is written again.
// Without this nearly every changed byte breaks a CRC and libpng refuses the file before the
// program's own checks see it. One mutation in eight keeps the CRCs it came out with, so files
// with a damaged CRC are still tried.
#include <zlib.h>

#include <cstddef>
#include <cstdint>

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

uint32_t Be32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

void PutBe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

}  // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
  size = LLVMFuzzerMutate(data, size, maxSize);
  if (seed % 8 == 0) return size;
  // Chunks follow the 8-byte signature: length, type, data, CRC of type and data.
  constexpr size_t kSignature = 8;
  for (size_t at = kSignature; at + 12 <= size;) {
    const uint32_t length = Be32(data + at);
    if (length > size - at - 12) break;
    const uInt covered = static_cast<uInt>(length) + 4;
    PutBe32(data + at + 8 + length, static_cast<uint32_t>(crc32(0, data + at + 4, covered)));
    at += 12 + length;
  }
  return size;
}
