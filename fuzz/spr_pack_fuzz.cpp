// The SPR run-length packer: any screen packs into a stream that fits an SPR file and unpacks to
// exactly the same screen. The input is the screen, repeated to fill its 32 KiB.
#include <memory>
#include <vector>

#include "core/screen.h"
#include "core/spr.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  auto screen = std::make_unique<std::array<uint8_t, brindle::ScreenSize>>();
  for (size_t i = 0; i < screen->size(); ++i) (*screen)[i] = data[i % size];
  const std::vector<uint8_t> stream = brindle::PackScreenRle(*screen);
  if ((stream.size() + brindle::SprHeaderSize) % 128 != 0) fuzz::Fail("packed file not a multiple of 128 bytes");
  if (stream.size() + brindle::SprHeaderSize > brindle::SprMaxPackedFile) fuzz::Fail("packed file too large");
  std::vector<uint8_t> file(brindle::SprHeaderSize, 0);
  file.insert(file.end(), stream.begin(), stream.end());
  auto mem = std::make_unique<brindle::Mem>();
  brindle::UnpackScreenRle(file, *mem);
  const auto back = mem->screen();
  if (!std::equal(back.begin(), back.end(), screen->begin())) fuzz::Fail("unpacked screen differs from the packed one");
  return 0;
}
