#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include <sys/stat.h>

#include "core/error.h"
#include "core/spr.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A screen with no two equal neighbours (so it packs into literals only), whose first bytes
// are replaced by prefix.
Mem ScreenStartingWith(const Bytes& prefix) {
  Mem mem;
  auto screen = mem.screen();
  for (std::size_t i = 0; i < screen.size(); ++i) screen[i] = static_cast<std::uint8_t>(0x80 | (i % 64));
  std::copy(prefix.begin(), prefix.end(), screen.begin());
  return mem;
}

Bytes Repeat(std::uint8_t v, std::size_t n) { return Bytes(n, v); }

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes PackedStart(const Mem& mem, std::size_t n) {
  const Bytes packed = PackScreenRle(mem.screen());
  return Bytes(packed.begin(), packed.begin() + static_cast<long>(n));
}

TEST(SprPacker, AllZeroScreenPacksInto640ByteFile) {
  const Mem mem;
  const Bytes packed = PackScreenRle(mem.screen());
  ASSERT_EQ(packed.size() + SprHeaderSize, 640u);
  for (std::size_t g = 0; g < 258; ++g) {
    ASSERT_EQ(packed[2 * g], 0x00);
    ASSERT_EQ(packed[2 * g + 1], 0xFF);
  }
  EXPECT_EQ(Bytes(packed.begin() + 516, packed.begin() + 519), (Bytes{0x00, 0x00, 0x02}));
  EXPECT_TRUE(std::all_of(packed.begin() + 519, packed.end(), [](auto b) { return b == 0; }));
  EXPECT_EQ(packed.size() - 519, 103u);
}

TEST(SprPacker, GroupBoundaries) {
  struct Case {
    const char* name;
    Bytes prefix;
    Bytes expected;
  };
  const Case cases[] = {
      // The last expected byte is the screen byte after the prefix, a literal.
      {"4 equal bytes stay literal", Repeat(0x44, 4), {0x44, 0x44, 0x44, 0x44, 0x84}},
      {"5 equal bytes are a run", Repeat(0x44, 5), {0x44, 0x85, 0x85}},
      {"open literal group closed before a run",
       Concat({{0x41, 0x42, 0x43}, Repeat(0x44, 6)}),
       {0x41, 0x42, 0x43, 0x03, 0x44, 0x86, 0x89}},
      {"run cut at 127, rest a run", Repeat(0x44, 200), {0x44, 0xFF, 0x44, 0x80 + 73, 0x88}},
      {"run cut at 127, rest literal", Repeat(0x44, 130), {0x44, 0xFF, 0x44, 0x44, 0x44, 0x82}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PackedStart(ScreenStartingWith(c.prefix), c.expected.size()), c.expected) << c.name;
}

TEST(SprPacker, LiteralGroupClosesAt128) {
  const Mem mem = ScreenStartingWith({});
  const Bytes packed = PackScreenRle(mem.screen());
  EXPECT_EQ(packed[127], 0xBF);
  EXPECT_EQ(packed[128], 0x80) << "the 128th literal is followed by its control byte";
  EXPECT_EQ(packed[129], mem.screen()[128]) << "the 129th starts a new group";
  EXPECT_EQ(packed.size() + SprHeaderSize, SprMaxPackedFile) << "the longest stream";
}

TEST(SprPacker, LastScreenByteIsAlwaysLiteral) {
  Mem mem = ScreenStartingWith({});
  std::fill(mem.screen().end() - 10, mem.screen().end(), 0x33);
  Bytes packed = PackScreenRle(mem.screen());
  while (packed.back() == 0) packed.pop_back();
  EXPECT_EQ(Bytes(packed.end() - 4, packed.end()), (Bytes{0x33, 0x89, 0x33, 0x01}));
}

TEST(SprPacker, UnpackOfPackGivesTheScreenBack) {
  std::vector<Mem> screens = {Mem{}, ScreenStartingWith({})};
  for (unsigned seed = 1; seed <= 4; ++seed) {
    screens.push_back(test::RandomScreen(seed));
    screens.push_back(test::StructuredScreen(seed));
  }
  for (std::size_t k = 0; k < screens.size(); ++k) {
    const Bytes file = test::SprFileFor(screens[k]);
    EXPECT_EQ(file.size() % 128, 0u) << k;
    EXPECT_LE(file.size(), SprMaxPackedFile) << k;
    Mem decoded = test::RandomScreen(99);
    UnpackScreenRle(file, decoded);
    EXPECT_TRUE(std::equal(decoded.screen().begin(), decoded.screen().end(), screens[k].screen().begin())) << k;
  }
}

TEST(SprUnpacker, AcceptsGroupsThePackerNeverWrites) {
  // Forward order: 255 runs of 128 through control 0x00, runs of 1 to 4 (0x81..0x84),
  // then 118 literal bytes.
  Bytes stream;
  for (int g = 0; g < 255; ++g) stream.insert(stream.end(), {static_cast<std::uint8_t>(g), 0x00});
  for (std::uint8_t n = 1; n <= 4; ++n)
    stream.insert(stream.end(), {static_cast<std::uint8_t>(0xA0 + n), static_cast<std::uint8_t>(0x80 + n)});
  for (int j = 0; j < 118; ++j) stream.push_back(static_cast<std::uint8_t>(j + 1));
  stream.push_back(118);
  const Bytes file = Concat({Bytes(18, 0), stream, Bytes(50, 0)});

  Mem mem;
  UnpackScreenRle(file, mem);
  const auto screen = mem.screen();
  EXPECT_EQ(screen[0], 0);
  EXPECT_EQ(screen[127], 0);
  EXPECT_EQ(screen[128], 1);
  EXPECT_EQ(screen[254 * 128 + 127], 254);
  EXPECT_EQ(Bytes(screen.begin() + 32640, screen.begin() + 32650),
            (Bytes{0xA1, 0xA2, 0xA2, 0xA3, 0xA3, 0xA3, 0xA4, 0xA4, 0xA4, 0xA4}));
  EXPECT_EQ(screen[32650], 1);
  EXPECT_EQ(screen[32767], 118);
}

TEST(SprUnpacker, LastGroupMayReachBelowTheScreen) {
  // Forward order: a literal group of 5 first, then 32766 zeros in runs and 2 literal
  // zeros: the 5 bytes start 3 below 0x8000.
  Bytes body = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x05};
  for (int g = 0; g < 257; ++g) body.insert(body.end(), {0x00, 0xFF});
  body.insert(body.end(), {0x00, 0x80 + 125, 0x00, 0x00, 0x02});
  Mem mem;
  UnpackScreenRle(Concat({Bytes(18, 0), body}), mem);
  EXPECT_EQ(mem.bytes[0x7FFD], 0xA1);
  EXPECT_EQ(mem.bytes[0x7FFF], 0xA3);
  EXPECT_EQ(mem.bytes[0x8000], 0xA4);
  EXPECT_EQ(mem.bytes[0x8001], 0xA5);
  EXPECT_EQ(mem.bytes[0x8002], 0x00);
}

TEST(SprUnpacker, BytesSixteenAndSeventeenAreIgnored) {
  const Mem screen = test::StructuredScreen(5);
  Bytes file = test::SprFileFor(screen);
  file[16] = 0xAB;
  file[17] = 0xCD;
  Mem decoded;
  UnpackScreenRle(file, decoded);
  EXPECT_TRUE(decoded == screen);
}

class SprFiles : public testing::Test {
 protected:
  void SetUp() override {
    mem = test::RandomScreen(3);
    mem.bytes[0x1234] = 0x77;
    VECScr2DIB4bpp(mem, pic);
    SetDIBPalFromVEC(pic, DefaultVECPalette, levels);
  }
  test::TempDir dir;
  Levels levels;
  Mem mem;
  Pic pic;
};

TEST_F(SprFiles, DamagedFilesAreRejectedAndChangeNothing) {
  Bytes overlong = test::SprFileFor(test::StructuredScreen(1));
  overlong.insert(overlong.begin(), 65537 - overlong.size(), 0x01);
  Bytes beforeStart(18, 0);
  beforeStart[17] = 0x85;
  beforeStart[0] = 0x10;
  const Bytes whole = test::SprFileFor(test::RandomScreen(4));
  const Bytes truncated(whole.begin() + 1000, whole.end());
  struct Case {
    const char* name;
    Bytes data;
  };
  const Case cases[] = {
      {"empty", {}},
      {"17 bytes", Bytes(17, 0x81)},
      {"all zero", Bytes(640, 0)},
      {"stream runs past the start", beforeStart},
      {"truncated stream", truncated},
      {"over 65536 bytes", overlong},
  };
  const Mem memBefore = mem;
  const Pic picBefore = pic;
  for (const Case& c : cases) {
    test::WriteBytes(dir / "bad.spr", c.data);
    EXPECT_THROW(SPROpenAndShow(dir / "bad.spr", mem, pic, levels), Error) << c.name;
    EXPECT_TRUE(mem == memBefore) << c.name;
    EXPECT_TRUE(pic == picBefore) << c.name;
  }
  // Names that are not regular files: missing, a folder, a pipe (which would block a read).
  std::filesystem::create_directory(dir / "folder.spr");
  ASSERT_EQ(mkfifo((dir / "pipe.spr").c_str(), 0600), 0);
  for (const char* name : {"missing.spr", "folder.spr", "pipe.spr"}) {
    EXPECT_THROW(SPROpenAndShow(dir / name, mem, pic, levels), Error) << name;
    EXPECT_TRUE(pic == picBefore) << name;
  }
}

TEST_F(SprFiles, SaveThenOpenGivesTheSameScreenAndPalette) {
  SaveSPR(dir / "a.spr", pic, mem, levels);
  const Bytes file = test::ReadBytes(dir / "a.spr");
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 16), Bytes(DefaultVECPalette.begin(), DefaultVECPalette.end()));
  EXPECT_EQ(file[16], 0);
  EXPECT_EQ(file[17], 0);
  EXPECT_EQ(file.size() % 128, 0u);

  Mem mem2;
  Pic pic2;
  SPROpenAndShow(dir / "a.spr", mem2, pic2, levels);
  EXPECT_EQ(pic2, pic);
  EXPECT_TRUE(std::equal(mem2.screen().begin(), mem2.screen().end(), mem.screen().begin()));
  EXPECT_EQ(mem.bytes[0x1234], 0x77) << "memory below the screen is not part of the file";
}

TEST_F(SprFiles, SaveReducesThePaletteOnlyOnceTheFileIsWritten) {
  pic.palette[3] = {70, 135, 255};
  pic.setPixel(0, 0, 3);
  const Pic before = pic;
  const Mem memBefore = mem;
  std::filesystem::create_directory(dir / "taken.spr");
  EXPECT_THROW(SaveSPR(dir / "taken.spr", pic, mem, levels), Error);
  EXPECT_TRUE(pic == before);
  EXPECT_TRUE(mem == memBefore);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary file left";

  SaveSPR(dir / "b.spr", pic, mem, levels);
  EXPECT_EQ(pic.palette[3], (Rgb{50, 130, 255}));
  EXPECT_EQ(test::ReadBytes(dir / "b.spr")[3], 3 * 64 + 3 * 8 + 1);
  Pic shown;
  VECScr2DIB4bpp(mem, shown);
  EXPECT_EQ(shown.pixels, pic.pixels) << "mem holds the saved screen";
}

TEST_F(SprFiles, SaveReplacesAnExistingFile) {
  test::WriteBytes(dir / "c.spr", Bytes(100000, 0xEE));
  SaveSPR(dir / "c.spr", pic, mem, levels);
  Mem mem2;
  Pic pic2;
  SPROpenAndShow(dir / "c.spr", mem2, pic2, levels);
  EXPECT_EQ(pic2.pixels, pic.pixels);
}

TEST_F(SprFiles, SaveAcceptsTheLongestFileName) {
  const std::string name = std::string(251, 'n') + ".spr";  // 255 bytes, the longest a folder takes
  SaveSPR(dir / name, pic, mem, levels);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  Mem mem2;
  Pic pic2;
  SPROpenAndShow(dir / name, mem2, pic2, levels);
  EXPECT_EQ(pic2.pixels, pic.pixels);
}

}  // namespace
}  // namespace brindle
