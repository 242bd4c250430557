// Reading GIF files made with giflib's encoder: map sizes, screen sizes, frame placement,
// interlacing, maps, and a frame far larger than its file.
#include <gtest/gtest.h>

#include "core/gifcodec.h"
#include "support/codec_expect.h"
#include "support/codec_fixtures.h"

namespace brindle {
namespace {

using test::Bytes;
using test::GifSpec;

int Pattern(int x, int y) { return (x * 5 + y * 3 + y / 7) % 16; }

Pic Decode(const Bytes& bytes) { return test::DecodeBytes(DecodeGIF, bytes); }

TEST(GifDecode, PicturesThatOpen) {
  struct Case {
    const char* name;
    GifSpec spec;
  };
  const Case cases[] = {
      {"16 x 16", {}},
      {"100 x 50", {.screenWidth = 100, .screenHeight = 50, .width = 100, .height = 50}},
      {"256 x 256", {.screenWidth = 256, .screenHeight = 256, .width = 256, .height = 256}},
      {"interlaced", {.screenWidth = 30, .screenHeight = 37, .width = 30, .height = 37, .interlace = true}},
      {"local map only", {.globalBits = 0, .localBits = 4}},
      {"local 16 over a global 2", {.globalBits = 1, .localBits = 4}},
      {"four frames", {.frames = 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Pic pic = Decode(test::MakeGif(c.spec, Pattern));
    test::ExpectPicture(pic, c.spec.width, c.spec.height, Pattern, 16);
  }
}

TEST(GifDecode, FrameAtItsPlaceClippedToTheScreen) {
  for (bool interlace : {false, true}) {
    SCOPED_TRACE(interlace);
    const GifSpec spec{.screenWidth = 40,
                       .screenHeight = 30,
                       .left = 25,
                       .top = 20,
                       .width = 30,
                       .height = 17,
                       .interlace = interlace};
    const Pic pic = Decode(test::MakeGif(spec, Pattern));
    test::ExpectPicture(
        pic, 40, 30, [](int x, int y) { return x >= 25 && y >= 20 ? Pattern(x - 25, y - 20) : 0; }, 16);
  }
}

TEST(GifDecode, MapsAndSizesOutsideTheRulesAreRefused) {
  const GifSpec cases[] = {
      {.globalBits = 1},
      {.globalBits = 8},
      {.globalBits = 3},
      {.globalBits = 4, .localBits = 8},
      {.screenWidth = 257, .width = 257},
      {.screenHeight = 257, .height = 257},
      {.screenWidth = 300, .screenHeight = 300, .width = 16, .height = 16},
  };
  for (const GifSpec& spec : cases) {
    SCOPED_TRACE(std::to_string(spec.globalBits) + "/" + std::to_string(spec.localBits) + " " +
                 std::to_string(spec.screenWidth) + "x" + std::to_string(spec.screenHeight));
    test::ExpectRejection([&] { Decode(test::MakeGif(spec, [](int, int) { return 1; })); }, GifOpenTitle,
                          GifRejectText);
  }
}

TEST(GifDecode, NoColourMapIsRefused) {
  // giflib's encoder insists on a map: take it out of a good file by hand.
  Bytes file = test::MakeGif({}, Pattern);
  ASSERT_EQ(file[10] & 0x80, 0x80);
  file[10] &= 0x78;
  file.erase(file.begin() + 13, file.begin() + 13 + 48);
  test::ExpectRejection([&] { Decode(file); }, GifOpenTitle, GifRejectText);
}

TEST(GifDecode, DamageIsAnError) {
  const Bytes good = test::MakeGif({}, Pattern);
  // A frame of 65535 x 65535 in a file of a few dozen bytes, plain and interlaced.
  for (bool interlace : {false, true}) {
    const Bytes huge = test::MakeGif({.width = 65535, .height = 65535, .interlace = interlace, .truncateFrame = true},
                                     [](int, int) { return 0; });
    EXPECT_LT(huge.size(), 2000u);
    test::CountingSource source(huge);
    test::ExpectDamage([&] { DecodeGIF(source); });
    // The file is read through once and its end met once: no work for each line it only declares.
    EXPECT_LE(source.reads, 2u);
  }
  test::ExpectDamage([&] { Decode({}); });
  test::ExpectDamage([&] { Decode(Bytes{'G', 'I', 'F', '8', '9', 'a'}); });
  test::ExpectDamage([&] { Decode(Bytes(good.begin(), good.begin() + 40)); });
  // The screen and map but no picture.
  Bytes noFrame(good.begin(), good.begin() + 13 + 48);
  noFrame.push_back(0x3B);
  test::ExpectDamage([&] { Decode(noFrame); });
}

}  // namespace
}  // namespace brindle
