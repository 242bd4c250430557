#include "core/plot_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "testsupport/temp_dir.h"

namespace quarto {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(PlotReaderTest, BufferedFileReadsAcrossBlocksAndSeeks) {
  const testsupport::TempDir dir;
  const auto path = dir / "blocks.bin";
  Bytes data(600 * 1024 + 3);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + (i >> 9));
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
  }
  // Both ways of reading a file give the same bytes, the sequential one (for which the kernel reads
  // ahead) also after seeks that leave its order and after a move.
  for (const auto access : {PlotReader::Access::Random, PlotReader::Access::Sequential}) {
    SCOPED_TRACE(access == PlotReader::Access::Random ? "random" : "sequential");
    auto r = PlotReader::OpenFile(path, access);
    EXPECT_EQ(r.Size(), data.size());
    Bytes got(data.size());
    size_t at = 0;
    for (size_t step = 1; at < data.size(); step = step % 13 + 1) {  // uneven reads across block edges
      const size_t n = std::min(step, data.size() - at);
      ASSERT_TRUE(r.Read(&got[at], n));
      at += n;
      if (at > 300 * 1024 && at < 300 * 1024 + 14) {
        PlotReader moved = std::move(r);  // in the middle of the second block
        r = std::move(moved);
      }
    }
    EXPECT_EQ(got, data);
    uint8_t b[8];
    EXPECT_FALSE(r.Read(b, 1));
    for (const size_t pos : {size_t{262143}, size_t{5}, size_t{524287}, size_t{262140}, size_t{600 * 1024}}) {
      r.Seek(pos);
      ASSERT_TRUE(r.Read(b, 3)) << pos;
      EXPECT_EQ(Bytes(b, b + 3),
                Bytes(data.begin() + static_cast<long>(pos), data.begin() + static_cast<long>(pos) + 3))
          << pos;
    }
    r.Seek(5);
    ASSERT_TRUE(r.Peek(b, 2));
    EXPECT_EQ(r.Tell(), 5u);
    r.Seek(data.size() - 2);
    EXPECT_FALSE(r.Read(b, 4));
    EXPECT_TRUE(r.AtEnd());
  }
  // Readers closed after their first read, some after a seek into the second block.
  for (int i = 0; i < 20; ++i) {
    auto r = PlotReader::OpenFile(path, PlotReader::Access::Sequential);
    uint8_t b[1];
    if (i % 2) r.Seek(300 * 1024);
    EXPECT_TRUE(r.Read(b, 1));
  }
  // A file cut short while it is read ends where it now ends, with no error.
  for (const auto access : {PlotReader::Access::Random, PlotReader::Access::Sequential}) {
    auto r = PlotReader::OpenFile(path, access);
    std::filesystem::resize_file(path, 100 * 1024);
    Bytes got(data.size());
    size_t at = 0;
    while (at < got.size() && r.Read(&got[at], 1000)) at += 1000;
    EXPECT_LE(at, data.size());
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(Bytes(got.begin(), got.begin() + 1000), Bytes(data.begin(), data.begin() + 1000));
    std::FILE* f = std::fopen(path.c_str(), "wb");  // the whole file again
    ASSERT_NE(f, nullptr);
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
  }
  std::filesystem::remove(path);

  // Files that cannot be opened: the error and the text the error box shows.
  struct Case {
    std::filesystem::path path;
    PlotIoError::Kind kind;
    const char* text;
  };
  const Case cases[] = {
      {path, PlotIoError::Kind::NotFound, kTextFileNotFound},
      {std::filesystem::temp_directory_path(), PlotIoError::Kind::AccessDenied, kTextFileAccessDenied},
  };
  for (const auto& c : cases) {
    try {
      PlotReader::OpenFile(c.path);
      ADD_FAILURE() << c.path << " opened";
    } catch (const PlotIoError& e) {
      EXPECT_EQ(e.kind(), c.kind) << c.path;
      EXPECT_STREQ(e.what(), c.text);
    }
  }
}

}  // namespace
}  // namespace quarto
