// Saving goes through the file library (common/replace_file.h, tested there): one case shows
// that a save of the program refuses a protected picture with the write error and the reason.
#include "core/fileio.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "core/error.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

TEST(ReplaceFile, AProtectedPictureIsRefusedWithTheReasonAndStaysWhole) {
  test::TempDir dir;
  test::WriteBytes(dir / "pic.spr", Bytes{5});
  ::chmod((dir / "pic.spr").c_str(), 0444);
  try {
    ReplaceFile(dir / "pic.spr", Bytes{6}, "Saving");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.title(), "Saving");
    EXPECT_EQ(std::string(e.what()),
              "Cannot write \"" + (dir / "pic.spr").string() + "\": " + std::strerror(EACCES) + ".");
  }
  EXPECT_EQ(test::ReadBytes(dir / "pic.spr"), Bytes{5});
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace brindle
