// Real SPR files written by other programs: every one decodes, and those with a 24-bit
// BMP made by another converter match it pixel for pixel under linear levels.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/spr.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

fs::path SprFolder() {
  const char* dir = std::getenv("SHARED_TESTDATA_DIR");
  return dir ? fs::path(dir) / "vec" / "spr" : fs::path();
}

std::uint32_t Le(const std::vector<std::uint8_t>& d, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | d[at + static_cast<std::size_t>(i)];
  return v;
}

// Colour of (x, y), y from the top, of an uncompressed 24-bit BMP.
struct Bmp24 {
  std::vector<std::uint8_t> data;
  int width = 0, height = 0;
  std::size_t offset = 0, stride = 0;
  bool bottomUp = true;

  explicit Bmp24(const fs::path& file) : data(test::ReadBytes(file)) {
    if (data.size() < 54 || data[0] != 'B' || data[1] != 'M' || Le(data, 28, 2) != 24 || Le(data, 30, 4) != 0) return;
    offset = Le(data, 10, 4);
    width = static_cast<int>(Le(data, 18, 4));
    const auto h = static_cast<std::int32_t>(Le(data, 22, 4));
    bottomUp = h > 0;
    height = std::abs(h);
    stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    if (offset + stride * static_cast<std::size_t>(height) > data.size()) width = height = 0;
  }
  Rgb at(int x, int y) const {
    const std::size_t row = static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
    const std::size_t p = offset + row * stride + static_cast<std::size_t>(x) * 3;
    return Rgb{data[p + 2], data[p + 1], data[p]};
  }
};

TEST(SprAcceptance, RealFilesDecodeAndMatchTheirPeerBitmaps) {
  const fs::path folder = SprFolder();
  std::error_code ec;
  if (folder.empty() || !fs::is_directory(folder, ec)) GTEST_SKIP() << "no shared test data";
  // Linear levels, through level files as a user would give them.
  test::TempDir levelDir;
  test::WriteText(levelDir / "RG.lvl", "0\r\n36\r\n72\r\n108\r\n144\r\n180\r\n216\r\n255\r\n");
  test::WriteText(levelDir / "B.lvl", "0\r\n85\r\n170\r\n255\r\n");
  Levels linear;
  ReadLevelFiles(levelDir.path(), linear);

  int decoded = 0, compared = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".SPR") continue;
    SCOPED_TRACE(entry.path().filename().string());
    Mem mem;
    Pic pic;
    ASSERT_NO_THROW(SPROpenAndShow(entry.path(), mem, pic, linear));
    ++decoded;

    fs::path peer = entry.path();
    peer.replace_extension(".peer24.bmp");
    if (!fs::exists(peer)) continue;
    const Bmp24 bmp(peer);
    ASSERT_EQ(bmp.width, 256);
    ASSERT_EQ(bmp.height, 256);
    int mismatches = 0;
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x)
        if (!(pic.colourAt(x, y) == bmp.at(x, y)) && mismatches++ < 3)
          ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
    EXPECT_EQ(mismatches, 0);
    ++compared;
  }
  EXPECT_GE(decoded, 1);
  // The folder's peer bitmaps all stand beside their SPR files: every one was compared.
  int peers = 0;
  for (const auto& entry : fs::directory_iterator(folder))
    peers += entry.path().filename().string().ends_with(".peer24.bmp");
  EXPECT_GE(compared, 1);
  EXPECT_EQ(compared, peers);
  RecordProperty("decoded", decoded);
  RecordProperty("compared", compared);
}

}  // namespace
}  // namespace brindle
