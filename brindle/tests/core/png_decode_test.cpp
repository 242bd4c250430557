// Reading PNG files made with libpng's writer: palette sizes and depths, what is refused,
// interlacing, ancillary chunks that change nothing, indexes past the palette, damage.
#include <gtest/gtest.h>

#include "core/pngcodec.h"
#include "support/codec_expect.h"
#include "support/codec_fixtures.h"

namespace brindle {
namespace {

using test::Bytes;
using test::PngSpec;

Pic Decode(const Bytes& bytes) { return test::DecodeBytes(DecodePNG, bytes); }

TEST(PngDecode, PalettePicturesThatOpen) {
  struct Case {
    const char* name;
    PngSpec spec;
  };
  const Case cases[] = {
      {"2 entries, 1 bit", {.depth = 1, .entries = 2}},
      {"2 entries, 4 bits", {.entries = 2}},
      {"16 entries", {.width = 37, .height = 21}},
      {"4 entries, 2 bits", {.depth = 2, .entries = 4}},
      {"12 entries, 8 bits", {.depth = 8, .entries = 12}},
      {"256 x 256", {.width = 256, .height = 256}},
      {"Adam7", {.width = 45, .height = 33, .interlace = true}},
      {"tRNS", {.trns = true}},
      {"gAMA", {.gama = true}},
      {"sRGB", {.srgb = true}},
      {"tRNS, gAMA and Adam7", {.interlace = true, .trns = true, .gama = true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const test::IndexFn index = [&](int x, int y) { return (x * 3 + y * 5 + x / 4) % c.spec.entries; };
    test::ExpectPicture(Decode(test::MakePng(c.spec, index)), c.spec.width, c.spec.height, index, c.spec.entries);
  }
}

TEST(PngDecode, IndexesPastThePaletteBecomeZero) {
  const PngSpec spec{.entries = 3};
  const Pic pic = Decode(test::MakePng(spec, [](int x, int) { return x % 8; }));
  test::ExpectPicture(
      pic, 16, 16, [](int x, int) { return x % 8 < 3 ? x % 8 : 0; }, 3);
}

TEST(PngDecode, OtherPicturesAreRefused) {
  const PngSpec cases[] = {
      {.depth = 8, .entries = 17},
      {.depth = 8, .entries = 256},
      {.colorType = PNG_COLOR_TYPE_GRAY, .depth = 4},
      {.colorType = PNG_COLOR_TYPE_RGB, .depth = 8},
      {.width = 257},
      {.height = 257},
  };
  for (const PngSpec& spec : cases) {
    SCOPED_TRACE(std::to_string(spec.colorType) + " " + std::to_string(spec.entries) + " " +
                 std::to_string(spec.width) + "x" + std::to_string(spec.height));
    const Bytes file = test::MakePng(spec, [](int, int) { return 1; });
    ASSERT_FALSE(file.empty());
    test::ExpectRejection([&] { Decode(file); }, PngOpenTitle, PngRejectText);
  }
}

TEST(PngDecode, DamageIsAnError) {
  const Bytes good = test::MakePng({.width = 64, .height = 64}, [](int x, int y) { return (x ^ y) % 16; });
  test::ExpectDamage([&] { Decode({}); });
  test::ExpectDamage([&] { Decode(Bytes(good.begin(), good.begin() + 8)); });
  test::ExpectDamage([&] { Decode(Bytes(good.begin(), good.begin() + 60)); });
  Bytes badHeaderCrc = good;
  badHeaderCrc[29] ^= 0xFF;  // the IHDR CRC
  test::ExpectDamage([&] { Decode(badHeaderCrc); });
  Bytes text(good.size(), 'x');
  test::ExpectDamage([&] { Decode(text); });
}

// A chunk that declares 2 GiB in a file of a few hundred bytes is damage, found without a
// buffer of that size or a read of that length.
TEST(PngDecode, AChunkLongerThanTheFileIsAnError) {
  const Bytes good = test::MakePng({}, [](int x, int y) { return (x + y) % 16; });
  constexpr std::size_t kAfterHeader = 8 + 25;  // the signature and the IHDR chunk
  for (const char* type : {"tEXt", "zTXt", "iTXt", "iCCP", "sPLT", "prVt"}) {
    SCOPED_TRACE(type);
    Bytes file(good.begin(), good.begin() + kAfterHeader);
    for (int shift : {24, 16, 8, 0}) file.push_back(static_cast<std::uint8_t>(0x7FFFFFF0u >> shift));
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), 40, 'k');
    file.insert(file.end(), good.begin() + kAfterHeader, good.end());
    test::CountingSource source(file);
    test::ExpectDamage([&] { DecodePNG(source); });
    // libpng passes over a chunk in pieces of a kilobyte; the declared length is never asked for.
    EXPECT_LT(source.asked, file.size() + 4096);
  }
}

}  // namespace
}  // namespace brindle
