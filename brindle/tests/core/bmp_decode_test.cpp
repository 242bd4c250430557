// Reading BMP files made by a test-side encoder: the layouts that open, the bit counts that
// are refused, and damaged or hostile headers and compressed data.
#include <gtest/gtest.h>

#include "core/bmp.h"
#include "support/codec_expect.h"
#include "support/codec_fixtures.h"

namespace brindle {
namespace {

using test::BmpSpec;
using test::Bytes;

int Pattern(int x, int y) { return (x * 7 + y * 3 + x / 5) % 16; }
int Checker(int x, int y) { return (x + y / 3) % 2; }

Pic Decode(const Bytes& bytes) { return test::DecodeBytes(DecodeBMP, bytes); }

TEST(BmpDecode, LayoutsThatOpen) {
  struct Case {
    const char* name;
    BmpSpec spec;
    int entries;  // palette entries the picture gets
  };
  const Case cases[] = {
      {"4 bits", {.width = 16, .height = 16}, 16},
      {"1 bit", {.width = 33, .height = 7, .bits = 1}, 2},
      {"top-down", {.width = 20, .height = 9, .topDown = true}, 16},
      {"core header", {.width = 17, .height = 5, .core = true}, 16},
      {"core header 1 bit", {.width = 9, .height = 3, .bits = 1, .core = true}, 2},
      {"short palette", {.width = 16, .height = 4, .colorsUsed = 5}, 5},
      {"palette longer than 2^bits", {.width = 8, .height = 2, .colorsUsed = 20}, 16},
      {"108-byte header", {.width = 12, .height = 12, .infoSize = 108}, 16},
      {"124-byte header", {.width = 12, .height = 12, .infoSize = 124}, 16},
      {"300 x 200", {.width = 300, .height = 200}, 16},
      {"10 x 10", {.width = 10, .height = 10}, 16},
      {"200 x 300 top-down", {.width = 200, .height = 300, .topDown = true}, 16},
      {"2000 x 1000", {.width = 2000, .height = 1000}, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A short palette's indexes stay below its entries; 1-bit pictures use 0 and 1.
    const test::IndexFn index = [&](int x, int y) {
      return c.spec.bits == 1 ? Checker(x, y) : Pattern(x, y) % std::min(c.entries, 16);
    };
    const Pic pic = Decode(test::MakeBmp(c.spec, index));
    test::ExpectPicture(pic, c.spec.width, c.spec.height, index, c.entries);
  }
}

TEST(BmpDecode, OtherBitCountsAreRefusedFromTheHeaderAlone) {
  for (int bits : {8, 24, 16, 32, 2, 0}) {
    SCOPED_TRACE(bits);
    BmpSpec spec{.width = 4, .height = 4, .bits = bits == 2 || bits == 0 ? 4 : bits};
    Bytes file = test::MakeBmp(spec, [](int, int) { return 1; });
    file[28] = static_cast<std::uint8_t>(bits);
    test::ExpectRejection([&] { Decode(file); }, BmpOpenTitle, BmpRejectText);
    // Decided before the sizes are looked at: a damaged 8-bit file gets the same text.
    file[18] = file[19] = file[20] = file[21] = 0;
    file.resize(54);
    test::ExpectRejection([&] { Decode(file); }, BmpOpenTitle, BmpRejectText);
  }
}

void PutLe32(Bytes& file, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) file[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

TEST(BmpDecode, DamagedHeadersAreErrors) {
  const Bytes good = test::MakeBmp({.width = 8, .height = 8}, Pattern);
  struct Case {
    const char* name;
    std::function<void(Bytes&)> spoil;
  };
  const Case cases[] = {
      {"empty", [](Bytes& f) { f.clear(); }},
      {"no BM", [](Bytes& f) { f[0] = 'X'; }},
      {"header size 20", [](Bytes& f) { PutLe32(f, 14, 20); }},
      {"header size 200", [](Bytes& f) { PutLe32(f, 14, 200); }},
      {"height -2^31", [](Bytes& f) { PutLe32(f, 22, 0x80000000u); }},
      {"height 0", [](Bytes& f) { PutLe32(f, 22, 0); }},
      {"width 0", [](Bytes& f) { PutLe32(f, 18, 0); }},
      {"width negative", [](Bytes& f) { PutLe32(f, 18, static_cast<std::uint32_t>(-8)); }},
      {"pixels past the end", [](Bytes& f) { PutLe32(f, 10, static_cast<std::uint32_t>(f.size())); }},
      {"pixel offset huge", [](Bytes& f) { PutLe32(f, 10, 0xFFFFFFF0u); }},
      {"last row missing", [](Bytes& f) { f.erase(f.end() - 4, f.end()); }},
      {"ends in the palette", [](Bytes& f) { f.resize(60); }},
      {"RLE8 on 4 bits", [](Bytes& f) { PutLe32(f, 30, 1); }},
      {"bit fields on 4 bits", [](Bytes& f) { PutLe32(f, 30, 3); }},
      {"RLE4 on 1 bit",
       [](Bytes& f) {
         f[28] = 1;
         PutLe32(f, 30, 2);
       }},
      {"100000 x 100000",
       [](Bytes& f) {
         PutLe32(f, 18, 100000);
         PutLe32(f, 22, 100000);
         f.resize(200);
       }},
      {"100000 x -100000",
       [](Bytes& f) {
         PutLe32(f, 18, 100000);
         PutLe32(f, 22, static_cast<std::uint32_t>(-100000));
         f.resize(200);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file = good;
    c.spoil(file);
    test::CountingSource source(file);
    test::ExpectDamage([&] { DecodeBMP(source); });
    // A hostile size is never worked through: the two header parts, the palette and at most the
    // picture's lines are asked for, each line no longer than a line of the picture.
    EXPECT_LE(source.reads, 3u + Pic::Height);
    EXPECT_LE(source.asked, 18u + 36u + 16u * 4u + std::uint64_t{Pic::Height} * Pic::LineBytes);
  }
}

// RLE4 data by hand: 6 x 3, bottom-up, so file row 0 is picture line 2.
struct RleCase {
  const char* name;
  Bytes data;
  int expected[3][6];
};

TEST(BmpDecode, RunLengthCompressedPixels) {
  const RleCase cases[] = {
      {"runs clipped at the line end, literals padded, a move past the picture ends it",
       {0x08, 0x12, 0x00, 0x00,                          // line 2: 8 pixels of 1,2 clipped to 6
        0x00, 0x05, 0x34, 0x56, 0x70, 0x00, 0x01, 0x80,  // line 1: 3 4 5 6 7 (+pad) then 8
        0x00, 0x00, 0x02, 0x9A,                          // line 0: 9 10
        0x00, 0x02, 0x01, 0x05, 0xEE, 0xEE},             // move 5 lines down: past the picture
       {{9, 10, 0, 0, 0, 0}, {3, 4, 5, 6, 7, 8}, {1, 2, 1, 2, 1, 2}}},
      {"a move inside the picture; pixels not reached stay 0",
       {0x00, 0x02, 0x03, 0x01, 0x02, 0xBB, 0x00, 0x01},
       {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 11, 11, 0}, {0, 0, 0, 0, 0, 0}}},
      {"a move to the line end, then the next line goes on",
       {0x01, 0x10, 0x00, 0x02, 0x05, 0x00, 0x01, 0x20, 0x00, 0x00, 0x02, 0x33, 0x00, 0x01},
       {{0, 0, 0, 0, 0, 0}, {3, 3, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}}},
      {"line ends past the last line end decoding",
       {0x01, 0x10, 0x00, 0x00, 0x01, 0x20, 0x00, 0x00, 0x01, 0x30, 0x00, 0x00},
       {{3, 0, 0, 0, 0, 0}, {2, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}}},
  };
  for (const RleCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Pic pic = Decode(test::MakeBmp({.width = 6, .height = 3, .compression = 2, .rle = c.data}, nullptr));
    test::ExpectPicture(
        pic, 6, 3, [&](int x, int y) { return c.expected[y][x]; }, 16);
  }
}

TEST(BmpDecode, DamagedRunLengthDataIsAnError) {
  const Bytes stream{0x08, 0x12, 0x00, 0x00, 0x02, 0x34, 0x00, 0x00, 0x02, 0x56, 0x00, 0x01};
  // Cut anywhere before the end mark is complete.
  for (std::size_t keep = 0; keep < stream.size(); ++keep) {
    SCOPED_TRACE(keep);
    const Bytes cut(stream.begin(), stream.begin() + static_cast<long>(keep));
    test::ExpectDamage(
        [&] { Decode(test::MakeBmp({.width = 6, .height = 8, .compression = 2, .rle = cut}, nullptr)); });
  }
  EXPECT_NO_THROW(Decode(test::MakeBmp({.width = 6, .height = 8, .compression = 2, .rle = stream}, nullptr)));
  // Compressed pixels cannot be stored top-down.
  test::ExpectDamage([&] {
    Decode(test::MakeBmp({.width = 6, .height = 3, .topDown = true, .compression = 2, .rle = stream}, nullptr));
  });
}

}  // namespace
}  // namespace brindle
