// The real codec files cut at every length and with single bytes changed: each gives the
// whole file's picture or a report, never anything in between, and no fault (run under
// SANITIZE=1 for the memory checks).
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <random>

#include "core/bmp.h"
#include "core/codec.h"
#include "core/error.h"
#include "core/gifcodec.h"
#include "core/pcxcodec.h"
#include "core/pngcodec.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

PictureDecoder DecoderFor(const fs::path& file) {
  const std::string ext = file.extension().string();
  if (ext == ".bmp") return DecodeBMP;
  if (ext == ".gif") return DecodeGIF;
  if (ext == ".pcx") return DecodePCX;
  if (ext == ".png") return DecodePNG;
  return nullptr;
}

// The picture, or nothing when the reader reports the file.
std::optional<Pic> TryDecode(PictureDecoder decode, const std::vector<std::uint8_t>& bytes, std::size_t length) {
  MemorySource source(std::span<const std::uint8_t>(bytes.data(), length));
  try {
    return decode(source);
  } catch (const Error&) {
    return std::nullopt;
  }
}

std::vector<fs::path> CodecFiles() {
  std::vector<fs::path> files;
  const char* dir = std::getenv("SHARED_TESTDATA_DIR");
  std::error_code ec;
  if (dir)
    for (fs::directory_iterator it(fs::path(dir) / "codecs", ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
      if (DecoderFor(it->path())) files.push_back(it->path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(CodecDamage, EveryCutGivesTheWholePictureOrAReport) {
  const std::vector<fs::path> files = CodecFiles();
  if (files.empty()) GTEST_SKIP() << "no shared test data";
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    const PictureDecoder decode = DecoderFor(file);
    const std::vector<std::uint8_t> bytes = test::ReadBytes(file);
    const std::optional<Pic> whole = TryDecode(decode, bytes, bytes.size());
    int pictures = 0, partial = 0;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
      const std::optional<Pic> cut = TryDecode(decode, bytes, length);
      if (!cut) continue;
      ++pictures;
      if (!whole || !(*cut == *whole)) {
        if (partial++ == 0) ADD_FAILURE() << "a cut at " << length << " gives another picture";
      }
    }
    EXPECT_EQ(partial, 0);
    RecordProperty(file.filename().string() + "_cuts_giving_the_picture", pictures);
  }
}

TEST(CodecDamage, ChangedBytesGiveAPictureOrAReport) {
  const std::vector<fs::path> files = CodecFiles();
  if (files.empty()) GTEST_SKIP() << "no shared test data";
  std::mt19937 rng(2126);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    const PictureDecoder decode = DecoderFor(file);
    const std::vector<std::uint8_t> bytes = test::ReadBytes(file);
    for (int round = 0; round < 300; ++round) {
      std::vector<std::uint8_t> changed = bytes;
      // Mostly header bytes, where the sizes and counts live; the rest anywhere.
      const std::size_t span = round % 2 == 0 ? std::min<std::size_t>(changed.size(), 140) : changed.size();
      changed[rng() % span] = static_cast<std::uint8_t>(rng());
      TryDecode(decode, changed, changed.size());
    }
  }
}

}  // namespace
}  // namespace brindle
