// Reading PCX files made by a test-side encoder: both 16-colour layouts at awkward widths,
// the header rules, and files that are not PCX at all.
#include <gtest/gtest.h>

#include "core/pcxcodec.h"
#include "core/pngcodec.h"
#include "support/codec_expect.h"
#include "support/codec_fixtures.h"

namespace brindle {
namespace {

using test::Bytes;
using test::PcxSpec;

int Pattern(int x, int y) { return (x * 3 + y * 7 + x / 9) % 16; }

Pic Decode(const Bytes& bytes) { return test::DecodeBytes(DecodePCX, bytes); }

TEST(PcxDecode, SixteenColourLayoutsAtManyWidths) {
  for (int planes : {1, 4})
    for (int width : {1, 2, 33, 37, 256})
      for (int height : {1, 5, 256}) {
        SCOPED_TRACE(std::to_string(planes) + " planes, " + std::to_string(width) + " x " + std::to_string(height));
        const PcxSpec spec{.width = width, .height = height, .bits = planes == 1 ? 4 : 1, .planes = planes};
        test::ExpectPicture(Decode(test::MakePcx(spec, Pattern)), width, height, Pattern, 16);
      }
}

TEST(PcxDecode, HeaderVariantsThatOpen) {
  struct Case {
    const char* name;
    PcxSpec spec;
  };
  const Case cases[] = {
      {"version 0", {.width = 20, .height = 4, .version = 0}},
      {"version 2", {.width = 20, .height = 4, .version = 2}},
      {"version 3", {.width = 20, .height = 4, .bits = 1, .planes = 4, .version = 3}},
      {"window not at 0, 0", {.width = 17, .height = 9, .xmin = 100, .ymin = 7}},
      {"longer lines", {.width = 17, .height = 9, .extraLineBytes = 4}},
      // Bits after the last pixel of an odd width are not pixels: pixel x = width stays 0.
      {"odd width, padding bits set", {.width = 33, .height = 3, .setPadding = true}},
      {"odd width, planes, padding bits set", {.width = 37, .height = 3, .bits = 1, .planes = 4, .setPadding = true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ExpectPicture(Decode(test::MakePcx(c.spec, Pattern)), c.spec.width, c.spec.height, Pattern, 16);
  }
}

TEST(PcxDecode, OtherFilesAreRefusedWithThePcxText) {
  const auto pattern = [](int x, int y) { return (x + y) % 2; };
  struct Case {
    const char* name;
    Bytes file;
  };
  auto spoiled = [&](PcxSpec spec, std::size_t at, std::uint8_t value) {
    Bytes f = test::MakePcx(spec, pattern);
    f[at] = value;
    return f;
  };
  const Case cases[] = {
      {"1 bit, 1 plane", test::MakePcx({.bits = 1, .planes = 1}, pattern)},
      {"1 bit, 3 planes", test::MakePcx({.bits = 1, .planes = 3}, pattern)},
      {"2 bits, 2 planes", test::MakePcx({.bits = 2, .planes = 2}, pattern)},
      {"8 bits", test::MakePcx({.bits = 8, .planes = 1}, pattern)},
      {"257 wide", test::MakePcx({.width = 257, .height = 2}, pattern)},
      {"257 high", test::MakePcx({.width = 2, .height = 257}, pattern)},
      {"257 wide in planes", test::MakePcx({.width = 257, .height = 2, .bits = 1, .planes = 4}, pattern)},
      {"xmax below xmin", spoiled({.width = 4, .height = 4, .xmin = 10}, 8, 0)},
      {"not 0x0A", spoiled({}, 0, 0x0B)},
      {"version 6", spoiled({}, 1, 6)},
      {"encoding 0", spoiled({}, 2, 0)},
      {"bytes a line too few", spoiled({.width = 40}, 66, 19)},
      {"header cut",
       [&] {
         Bytes f = test::MakePcx({}, pattern);
         f.resize(100);
         return f;
       }()},
      {"empty", {}},
      {"a PNG", test::MakePng({}, pattern)},
      {"over 1 MiB",
       [&] {
         Bytes f = test::MakePcx({}, pattern);
         f.resize(PcxMaxFileSize + 1, 0);
         return f;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ExpectRejection([&] { Decode(c.file); }, PcxOpenTitle, PcxRejectText);
  }
}

TEST(PcxDecode, DamagedPixelDataIsRefusedOrComplete) {
  // GraphicsMagick may fill what is missing or fail; either is a picture or the PCX text.
  const Bytes good = test::MakePcx({.width = 40, .height = 30}, Pattern);
  for (std::size_t keep = 128; keep < good.size(); keep += 7) {
    try {
      Decode(Bytes(good.begin(), good.begin() + static_cast<long>(keep)));
    } catch (const Rejection& e) {
      EXPECT_EQ(std::string(e.what()), PcxRejectText);
    }
  }
}

}  // namespace
}  // namespace brindle
