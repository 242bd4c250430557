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

// What a reader made of some bytes: a picture, or a report with its caption and text.
struct Outcome {
  std::optional<Pic> picture;
  std::string title, text;
};

Outcome Decode(PictureDecoder decode, const std::vector<std::uint8_t>& bytes) {
  MemorySource source(bytes);
  Outcome out;
  try {
    out.picture = decode(source);
  } catch (const Error& e) {
    out.title = e.title();
    out.text = e.what();
  }
  return out;
}

TEST(CodecDamage, ChangedBytesGiveAPictureOrAReport) {
  const std::vector<fs::path> files = CodecFiles();
  if (files.empty()) GTEST_SKIP() << "no shared test data";
  std::mt19937 rng(2126);
  int pictures = 0, reports = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    const PictureDecoder decode = DecoderFor(file);
    const std::vector<std::uint8_t> bytes = test::ReadBytes(file);
    for (int round = 0; round < 300; ++round) {
      std::vector<std::uint8_t> changed = bytes;
      // Mostly header bytes, where the sizes and counts live; the rest anywhere.
      const std::size_t span = round % 2 == 0 ? std::min<std::size_t>(changed.size(), 140) : changed.size();
      const std::size_t at = rng() % span;
      changed[at] = static_cast<std::uint8_t>(rng());
      SCOPED_TRACE("byte " + std::to_string(at) + " changed to " + std::to_string(changed[at]));
      const Outcome first = Decode(decode, changed);
      if (first.picture) {
        ++pictures;
      } else {
        ++reports;
        EXPECT_FALSE(first.title.empty() || first.text.empty()) << "a report without caption or text";
      }
      // The outcome is the bytes' alone: nothing read from memory the file did not fill.
      const Outcome again = Decode(decode, changed);
      EXPECT_EQ(again.picture.has_value(), first.picture.has_value());
      if (first.picture && again.picture) {
        EXPECT_TRUE(*again.picture == *first.picture) << "another picture";
      }
      EXPECT_EQ(again.text, first.text);
    }
  }
  // Both outcomes were met, so both paths were checked.
  EXPECT_GT(pictures, 0);
  EXPECT_GT(reports, 0);
  RecordProperty("pictures", pictures);
  RecordProperty("reports", reports);
}

}  // namespace
}  // namespace brindle
