// ".scr" pictures: ZX screens and packed screen files, their palettes and their damage.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <map>
#include <optional>
#include <random>

#include "core/error.h"
#include "core/scr.h"
#include "core/session.h"
#include "support/damage.h"
#include "support/fixtures.h"
#include "support/scr_files.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

Mem Filled(std::uint8_t value) {
  Mem mem;
  mem.bytes.fill(value);
  return mem;
}

Palette16 PaletteOf(const VecPalette& vec) {
  Pic pic;
  SetDIBPalFromVEC(pic, vec, Levels{});
  return pic.palette;
}

// --- ZX screens ---

TEST(ZxScreen, EveryAttributeAndBitGivesItsColour) {
  test::ZxScreen zx;
  for (int y = 0; y < 192; ++y)
    for (int col = 0; col < 32; ++col) zx.bits(y, col) = static_cast<std::uint8_t>(y * 37 + col * 11 + (y >> 3));
  // 768 cells: every attribute value three times, bit 7 and bright included.
  for (int cr = 0; cr < 24; ++cr)
    for (int col = 0; col < 32; ++col) zx.attr(cr, col) = static_cast<std::uint8_t>((cr * 32 + col) * 7);
  Mem mem = Filled(0xAA);
  Pic pic;
  ZXSCRShow(zx.bytes, mem, pic);
  int wrong = 0;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x)
      if (pic.pixel(x, y) != zx.colourAt(x, y) && wrong++ < 5) ADD_FAILURE() << "pixel " << x << "," << y;
  EXPECT_EQ(wrong, 0);
  for (std::size_t a = 0; a < 0x8000; ++a) ASSERT_EQ(mem.bytes[a], 0) << "below the screen, at " << a;
  EXPECT_EQ(pic.palette[7], (Rgb{0xC0, 0xC0, 0xC0}));
  EXPECT_EQ(pic.palette[15], (Rgb{0xF0, 0xF0, 0xF0}));
  EXPECT_EQ(pic.palette[8], (Rgb{0, 0, 0}));
  EXPECT_EQ(pic.palette[10], (Rgb{0xF0, 0, 0})) << "bright red";
  EXPECT_EQ(pic.palette[4], (Rgb{0, 0xC0, 0})) << "green";
}

TEST(ZxScreen, PlaneBytesFromInkPaperAndBits) {
  struct Case {
    std::uint8_t attr, bits;
    std::uint8_t p8000, pA000, pC000, pE000;  // planes bright, green, red, blue
  };
  const Case cases[] = {
      {0x00, 0xF0, 0x00, 0x00, 0x00, 0x00},                                        // ink and paper black
      {0x01, 0xF0, 0x00, 0x00, 0x00, 0xF0},                                        // blue ink: the bits
      {0x08, 0xF0, 0x00, 0x00, 0x00, 0x0F},                                        // blue paper: the bits inverted
      {0x09, 0xF0, 0x00, 0x00, 0x00, 0xFF},                                        // blue ink and paper
      {0x02, 0x3C, 0x00, 0x00, 0x3C, 0x00},                                        // red ink
      {0x10, 0x3C, 0x00, 0x00, 0xC3, 0x00},                                        // red paper
      {0x12, 0x3C, 0x00, 0x00, 0xFF, 0x00}, {0x04, 0x81, 0x00, 0x81, 0x00, 0x00},  // green ink
      {0x20, 0x81, 0x00, 0x7E, 0x00, 0x00},                                        // green paper
      {0x22, 0x55, 0x00, 0xAA, 0x55, 0x00},                                        // red ink, green paper
      {0x47, 0x0F, 0xFF, 0x0F, 0x0F, 0x0F},                                        // bright white ink
      {0x40, 0x0F, 0xFF, 0x00, 0x00, 0x00},                                        // bright alone
      {0x80, 0xFF, 0x00, 0x00, 0x00, 0x00},                                        // bit 7 does nothing
      {0xC7, 0x0F, 0xFF, 0x0F, 0x0F, 0x0F}, {0xBF, 0x33, 0x00, 0xFF, 0xFF, 0xFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "attr " << int(c.attr) << " bits " << int(c.bits));
    test::ZxScreen zx;
    zx.attr(9, 5) = c.attr;
    const int y = 9 * 8 + 3;
    zx.bits(y, 5) = c.bits;
    Mem mem = Filled(0xAA);
    Pic pic;
    ZXSCRShow(zx.bytes, mem, pic);
    const std::size_t off = 5 * 256 + 255 - y;
    EXPECT_EQ(mem.bytes[0x8000 + off], c.p8000);
    EXPECT_EQ(mem.bytes[0xA000 + off], c.pA000);
    EXPECT_EQ(mem.bytes[0xC000 + off], c.pC000);
    EXPECT_EQ(mem.bytes[0xE000 + off], c.pE000);
  }
}

TEST(ZxScreen, BrightWhiteCellAndBlackLowerLines) {
  test::ZxScreen zx;
  zx.attr(0, 0) = 0x47;
  zx.bits(0, 0) = 0x80;
  Mem mem = Filled(0x5A);
  Pic pic;
  ZXSCRShow(zx.bytes, mem, pic);
  EXPECT_EQ(pic.pixel(0, 0), 15);
  EXPECT_EQ(pic.colourAt(0, 0), (Rgb{0xF0, 0xF0, 0xF0}));
  EXPECT_EQ(pic.pixel(1, 0), 8);
  EXPECT_EQ(pic.colourAt(1, 0), (Rgb{0, 0, 0}));
  for (int y = 192; y < 256; ++y)
    for (int x = 0; x < 256; ++x) ASSERT_EQ(pic.pixel(x, y), 0) << x << "," << y;
}

// --- Packed screens ---

class PackedScrTest : public testing::Test {
 protected:
  void Read(const std::vector<std::uint8_t>& file, Mem& mem) {
    SCRRead(file, file.size(), dir.path(), mem, pic, Levels{});
  }
  test::TempDir dir;
  Pic pic;
};

TEST_F(PackedScrTest, FixturesDecodeToTheirBytes) {
  struct Case {
    const char* name;
    test::PackedScr file;
    std::map<unsigned, std::uint8_t> changed;               // address -> byte; all others keep 0x11
    std::optional<std::uint8_t> everywhere = std::nullopt;  // the value of all other bytes instead
  };
  auto packed = [](std::vector<std::uint8_t> stream, std::array<std::uint8_t, 3> esc, std::uint8_t fill = 0x55) {
    test::PackedScr p;
    p.escape = esc;
    p.fill = fill;
    p.stream = std::move(stream);
    p.last = static_cast<unsigned>(p.stream.size() - 1);
    return p;
  };
  std::vector<Case> cases = {
      {"example",
       packed({0x10, 0x20, 0xE0}, {0xE0, 0, 0}),
       {{0xFFFF, 0x55}, {0xFFFE, 0x55}, {0xFFFD, 0x20}, {0xFFFC, 0x10}}},
      {"escape below 0x80 inert", packed({0x10, 0x20}, {0x20, 0x20, 0x20}), {{0xFFFF, 0x20}, {0xFFFE, 0x10}}},
      {"bytes 0x80 and above that are no escape",
       packed({0x80, 0xFF}, {0xE0, 0xE1, 0xE2}),
       {{0xFFFF, 0xFF}, {0xFFFE, 0x80}}},
      {"escape 1 before 2", packed({0x77, 0xE0}, {0xE0, 0xE0, 0}), {{0xFFFF, 0x55}, {0xFFFE, 0x55}, {0xFFFD, 0x77}}},
      {"escape 2 before 3",
       packed({0x05, 0x03, 0xE1}, {0, 0xE1, 0xE1}),
       {{0xFFFF, 0x03}, {0xFFFE, 0x03}, {0xFFFD, 0x03}, {0xFFFC, 0x05}}},
      {"escape 3 count 1", packed({0x99, 0x01, 0xF0}, {0, 0, 0xF0}), {{0xFFFF, 0x99}}},
      {"escape 3 count 4",
       packed({0x99, 0x04, 0xF0, 0x01}, {0, 0, 0xF0}),
       {{0xFFFF, 0x01}, {0xFFFE, 0x99}, {0xFFFD, 0x99}, {0xFFFC, 0x99}, {0xFFFB, 0x99}}},
      {"escape 3 count 0 fills everything", packed({0x99, 0x00, 0xF0}, {0, 0, 0xF0}), {}, 0x99},
      {"after a full run t is where it was",
       packed({0x11, 0x99, 0x00, 0xF0, 0x22}, {0, 0, 0xF0}),
       {{0xFFFE, 0x11}},
       0x99},
      {"two full runs: the later one wins", packed({0x33, 0x00, 0xF0, 0x99, 0x00, 0xF0}, {0, 0, 0xF0}), {}, 0x33},
  };
  {
    test::PackedScr p = packed({0x10, 0x20}, {0, 0, 0});
    p.end = 0x8000;  // 0x8000 + E wraps to address 0
    cases.push_back({"addresses wrap at 64 KiB", p, {{0x0000, 0x20}, {0xFFFF, 0x10}}});
  }
  {
    test::PackedScr p = packed({0x10}, {0xE0, 0, 0});
    p.lists[0] = {0x7FFF, 0x0000};
    cases.push_back({"list offsets 0x7FFF and 0", p, {{0xFFFF, 0xE0}, {0x8000, 0xE0}}});
  }
  {
    test::PackedScr p = packed({0x10}, {0xE0, 0xE1, 0xE2});
    p.lists[0] = {0x100};
    p.lists[2] = {0x100};
    cases.push_back({"a later list wins", p, {{0xFFFF, 0x10}, {0x8100, 0xE2}}});
  }
  {
    test::PackedScr p = packed({0x10}, {0xE0, 0x40, 0});
    p.lists[0] = {1, 2, 3, 4, 5, 6, 7};
    p.counts[0] = 8;  // an eighth offset would be the bytes of escape 2 and its count: 0x0040
    std::map<unsigned, std::uint8_t> changed{{0xFFFF, 0x10}};
    for (unsigned o = 1; o <= 7; ++o) changed[0x8000 + o] = 0xE0;
    cases.push_back({"count 8 applies 7", p, changed});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Mem mem = Filled(0x11);
    ASSERT_NO_THROW(Read(c.file.bytes(), mem));
    int wrong = 0;
    for (unsigned a = 0; a < 0x10000; ++a) {
      const auto it = c.changed.find(a);
      const std::uint8_t want = it != c.changed.end() ? it->second : c.everywhere.value_or(0x11);
      if (mem.bytes[a] != want && wrong++ < 5) ADD_FAILURE() << "address " << std::hex << a;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(pic.palette, PaletteOf(DefaultVECPalette));
  }
}

TEST_F(PackedScrTest, HeaderAloneChangesOnlyThePalette) {
  Mem mem = test::RandomScreen(3);
  const Mem before = mem;
  test::PackedScr p;
  p.last = 5;  // no stream, so nothing of the header but the palette counts
  p.escape = {0xE0, 0, 0};
  p.lists[0] = {0x10};
  Read(p.bytes(), mem);
  EXPECT_EQ(mem, before);
  EXPECT_EQ(pic.palette, PaletteOf(DefaultVECPalette));
  Pic expected;
  VECScr2DIB4bpp(before, expected);
  EXPECT_EQ(pic.pixels, expected.pixels);
}

TEST_F(PackedScrTest, LengthAloneDecidesTheKind) {
  test::PackedScr p;
  p.stream = {0x42};
  std::vector<std::uint8_t> file = p.bytes();
  file.resize(6912, 0x00);  // a ZX screen whose bitmap starts with the header bytes
  Mem mem;
  Read(file, mem);
  EXPECT_EQ(pic.palette[15], (Rgb{0xF0, 0xF0, 0xF0})) << "6912 bytes: a ZX screen";
  file.push_back(0x00);
  Read(file, mem);
  EXPECT_EQ(pic.palette, PaletteOf(DefaultVECPalette)) << "6913 bytes: a packed screen";
  EXPECT_EQ(mem.bytes[0xFFFF], 0x42);
}

TEST_F(PackedScrTest, LongFileUsesItsFirst65536StreamBytes) {
  test::PackedScr p;
  p.last = 0xFFFF;
  p.stream.assign(0x10000 + 5000, 0x01);
  p.stream[0xFFFF] = 0x42;
  test::WriteBytes(dir / "long.scr", p.bytes());
  Mem mem = Filled(0x11);
  SCROpen(dir / "long.scr", mem, pic, Levels{});
  EXPECT_EQ(mem.bytes[0xFFFF], 0x42);
  EXPECT_EQ(mem.bytes[0xFFFE], 0x01);
  EXPECT_EQ(mem.bytes[0x0000], 0x01) << "65536 bytes wrap around all of Mem";
}

TEST_F(PackedScrTest, PaletteFileLookup) {
  const VecPalette upper{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                         0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10};
  VecPalette mixed = upper, lower = upper;
  mixed[0] = 0xC0;
  lower[0] = 0xFF;
  test::WriteBytes(dir / "PAL", std::vector<std::uint8_t>(upper.begin(), upper.end()));
  test::WriteBytes(dir / "Pal", std::vector<std::uint8_t>(mixed.begin(), mixed.end()));
  std::vector<std::uint8_t> longer(lower.begin(), lower.end());
  longer.resize(300, 0x3F);
  test::WriteBytes(dir / "other.pal", longer);
  fs::create_directory(dir / "dirpal");
  test::WriteBytes(dir / "DIRPAL", std::vector<std::uint8_t>(upper.begin(), upper.end()));
  struct Case {
    const char* name;
    VecPalette palette;
  };
  const Case cases[] = {
      {"T.288-31-25", DefaultVECPalette},
      {"PAL", upper},
      {"Pal", mixed},        // the exact name first
      {"pal", upper},        // else the first match in byte order: "PAL" < "Pal"
      {"PAL  ", upper},      // trailing blanks dropped
      {"Pal. .", mixed},     // and trailing dots
      {"OTHER.PAL", lower},  // only the first 16 bytes count
      {"dirpal", upper},     // a folder is no palette file
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::PackedScr p;
    p.palette = c.name;
    p.stream = {0x01};
    Mem mem;
    ASSERT_NO_THROW(Read(p.bytes(), mem));
    EXPECT_EQ(pic.palette, PaletteOf(c.palette));
  }
}

TEST_F(PackedScrTest, PackedScreensComeBackExactly) {
  const std::array<std::uint8_t, 3> esc{0xE0, 0xE1, 0xE2};
  std::mt19937 rng(7);
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE(round);
    Mem screen = round % 2 == 0 ? test::RandomScreen(static_cast<unsigned>(round)) : test::StructuredScreen(round);
    auto s = screen.screen();
    // Keep the escape values out, then plant up to 7 of each where the lists put them.
    for (auto& b : s)
      if (b == esc[0] || b == esc[1] || b == esc[2]) b = 0x7F;
    for (std::size_t l = 0; l < 3; ++l)
      for (std::size_t k = rng() % 8; k > 0; --k) s[rng() % s.size()] = esc[l];
    const test::PackedScr p = test::PackScr(screen, s[0], esc);
    Mem mem = test::RandomScreen(99);
    for (std::size_t a = 0; a < 0x8000; ++a) mem.bytes[a] = static_cast<std::uint8_t>(a * 3);
    const Mem before = mem;
    Read(p.bytes(), mem);
    EXPECT_TRUE(std::equal(s.begin(), s.end(), mem.screen().begin()));
    EXPECT_TRUE(std::equal(before.bytes.begin(), before.bytes.begin() + 0x8000, mem.bytes.begin()));
    Pic expected;
    VECScr2DIB4bpp(screen, expected);
    EXPECT_EQ(pic.pixels, expected.pixels);
  }
}

// Damaged files, opened after a good picture: the box's caption and nothing changed.
TEST(ScrDamage, LeavesPictureNameAndCaption) {
  using Setup = std::function<std::vector<std::uint8_t>(const fs::path& folder)>;
  auto header = [](std::string palette, std::vector<std::uint8_t> stream, std::array<std::uint8_t, 3> esc = {},
                   int last = -1) {
    test::PackedScr p;
    p.palette = std::move(palette);
    p.escape = esc;
    p.stream = std::move(stream);
    p.last = last >= 0 ? static_cast<unsigned>(last) : static_cast<unsigned>(p.stream.size() - 1);
    return p.bytes();
  };
  const std::vector<std::pair<const char*, Setup>> cases = {
      {"0 bytes", [](const fs::path&) { return std::vector<std::uint8_t>{}; }},
      {"10 bytes", [](const fs::path&) { return std::vector<std::uint8_t>(10, 0x01); }},
      {"63 bytes", [&](const fs::path&) { return std::vector<std::uint8_t>(63, 0x01); }},
      {"I at the stream length",
       [&](const fs::path&) {
         return header("T.288-31-25", {1, 2, 3}, {}, 3);
       }},
      {"I far beyond",
       [&](const fs::path&) {
         return header("T.288-31-25", {1, 2, 3}, {}, 0xFFFF);
       }},
      {"escape 2 at 0",
       [&](const fs::path&) {
         return header("T.288-31-25", {0xE1, 1, 2}, {0, 0xE1, 0});
       }},
      {"escape 3 at 0",
       [&](const fs::path&) {
         return header("T.288-31-25", {0xE2, 1}, {0, 0, 0xE2});
       }},
      {"escape 3 at 1",
       [&](const fs::path&) {
         return header("T.288-31-25", {5, 0xE2, 1}, {0, 0, 0xE2});
       }},
      {"palette name empty", [&](const fs::path&) { return header("", {1}); }},
      {"palette name ..", [&](const fs::path&) { return header("..", {1}); }},
      {"palette name . and blanks", [&](const fs::path&) { return header(". ", {1}); }},
      {"palette name a/b",
       [&](const fs::path& d) {
         fs::create_directory(d / "a");
         test::WriteBytes(d / "a" / "b", std::vector<std::uint8_t>(16, 0));
         return header("a/b", {1});
       }},
      {"palette name a\\b", [&](const fs::path&) { return header("a\\b", {1}); }},
      {"palette name C:x", [&](const fs::path&) { return header("C:x", {1}); }},
      {"palette missing", [&](const fs::path&) { return header("NOPAL", {1}); }},
      {"palette of 15 bytes",
       [&](const fs::path& d) {
         test::WriteBytes(d / "SHORT", std::vector<std::uint8_t>(15, 0x3F));
         return header("SHORT", {1});
       }},
      {"palette a folder",
       [&](const fs::path& d) {
         fs::create_directory(d / "PALDIR");
         return header("PALDIR", {1});
       }},
      {"palette a FIFO",
       [&](const fs::path& d) {
         EXPECT_EQ(mkfifo((d / "FIFO").c_str(), 0600), 0);
         return header("FIFO", {1});
       }},
  };
  for (const auto& [name, setup] : cases) {
    SCOPED_TRACE(name);
    test::TempDir dir;
    test::WriteBytes(dir / "b.scr", setup(dir.path()));
    test::ExpectStepToDamageChangesNothing(dir.path(), "SCR opening error");
  }
}

// Random packed files from a fixed seed: a picture or an error that changed nothing.
TEST(ScrDamage, RandomPackedFiles) {
  test::TempDir dir;
  test::WriteBytes(dir / "P", std::vector<std::uint8_t>(16, 0x3F));
  std::mt19937 rng(2024);
  int opened = 0;
  for (int n = 0; n < 3000; ++n) {
    test::PackedScr p;
    p.palette = rng() % 8 == 0 ? "P" : "T.288-31-25";
    p.end = rng() & 0xFFFF;
    p.fill = static_cast<std::uint8_t>(rng());
    for (std::size_t l = 0; l < 3; ++l) {
      p.escape[l] = static_cast<std::uint8_t>(0x80 | rng());
      p.counts[l] = static_cast<int>(rng() % 10);
      for (int k = 0; k < 7; ++k) p.lists[l].push_back(rng() & 0xFFFF);
    }
    p.stream.resize(rng() % 400);
    for (auto& b : p.stream) {
      const unsigned r = rng() % 8;
      b = r < 3 ? p.escape[r] : static_cast<std::uint8_t>(rng());
    }
    p.last =
        rng() % 4 == 0 ? static_cast<unsigned>(rng() & 0xFFFF) : static_cast<unsigned>(rng() % (p.stream.size() + 1));
    Mem mem = test::RandomScreen(static_cast<unsigned>(n));
    Pic pic;
    pic.pixels.fill(0x12);
    const Mem memBefore = mem;
    const Pic picBefore = pic;
    const std::vector<std::uint8_t> file = p.bytes();
    try {
      SCRRead(file, file.size(), dir.path(), mem, pic, Levels{});
      ++opened;
    } catch (const Error&) {
      ASSERT_EQ(mem, memBefore) << n;
      ASSERT_EQ(pic, picBefore) << n;
    }
  }
  EXPECT_GT(opened, 100);
  EXPECT_LT(opened, 3000);
}

}  // namespace
}  // namespace brindle
