// What extraction leaves on the PC when it is cut short or meets symbolic links:
// never a file under an item's name that is not the whole item, never a byte
// written through a link below the destination.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "hddtest/image_builder.h"
#include "hddtest/operation_support.h"
#include "hddtest/test_support.h"

namespace {

namespace fs = std::filesystem;

using hddtest::Bytes;
using hddtest::ImageBuilder;
using hddtest::Kind;
using hddtest::PatternBytes;
using hddtest::Tree;

// What a file of `size` pattern bytes extracts as (the rest of its last record zeros).
Bytes Records(std::size_t size, std::uint8_t seed) {
  Bytes b = PatternBytes(size, seed);
  b.resize((size + 127) / 128 * 128, 0);
  return b;
}

class ExtractSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(Out());
    ImageBuilder b(1);
    b.AddFile(1, 0, "ONE.TXT", PatternBytes(1000, 1));
    b.AddFile(1, 0, "BIG.DAT", PatternBytes(100000, 2));  // two runs of blocks: two writes
    b.AddFile(1, 3, "A.DAT", PatternBytes(5000, 3));
    ASSERT_TRUE(b.Save(Image()));
  }
  std::string Image() const { return dir_.File("img"); }
  std::string Out() const { return dir_.File("out"); }
  int Copy(const std::string& path, Kind kind, const std::string& dest) {
    return hddtest::CopyOut(Image(), path, kind, dest);
  }
  // The item files as extraction writes them, by their PC paths below a disk folder.
  static Tree Whole() {
    return Tree{{"one.txt", Records(1000, 1)}, {"big.dat", Records(100000, 2)}, {"user_3/a.dat", Records(5000, 3)}};
  }
  hddtest::TempDir dir_;
};

// A copy killed at any of its writes leaves each item's name either absent or
// holding the whole item; what was being written stays under a name of its own
// that the next copy neither takes for the item nor trips over.
TEST_F(ExtractSafety, KilledCopyLeavesNoShortFileUnderAnItemsName) {
  for (int call = 1; call <= 4; ++call) {
    SCOPED_TRACE(call);
    fs::remove_all(Out());
    fs::create_directory(Out());
    const std::string faults = "kill-write-call=" + std::to_string(call) + ",under=" + Out();
    const auto copyDisk = [&] {
      setenv("DESKTOOLS_FAULTS", faults.c_str(), 1);
      hddtest::CopyOut(Image(), "disk_01", Kind::Folder, Out());
      std::_Exit(0);  // the fault did not strike
    };
    EXPECT_EXIT(copyDisk(), ::testing::KilledBySignal(SIGKILL), "");
    int parts = 0;
    for (const auto& [name, bytes] : hddtest::ReadTree(Out() + "/disk_01")) {
      if (name.back() == '/') continue;
      if (fs::path(name).filename().string().rfind(".hdd-", 0) == 0) {
        ++parts;
        continue;
      }
      ASSERT_EQ(Whole().count(name), 1u) << name;
      EXPECT_EQ(bytes, Whole().at(name)) << name;
    }
    EXPECT_EQ(parts, 1);
  }
  // The file cut short last time is copied whole now, beside what the kill left.
  fs::remove(Out() + "/disk_01/user_3/a.dat");
  EXPECT_EQ(Copy("disk_01\\user_3\\a.dat", Kind::File, Out() + "/disk_01/user_3"), 1);
  EXPECT_EQ(hddtest::ReadWholeFile(Out() + "/disk_01/user_3/a.dat"), Whole().at("user_3/a.dat"));
}

TEST_F(ExtractSafety, PartFileLeftBehindIsNotTheItem) {
  std::ofstream(Out() + "/.hdd-one.txt-000001") << "left by a kill";
  EXPECT_EQ(Copy("disk_01\\one.txt", Kind::File, Out()), 1);
  EXPECT_EQ(hddtest::ReadTree(Out()),
            (Tree{{".hdd-one.txt-000001", Bytes{'l', 'e', 'f', 't', ' ', 'b', 'y', ' ', 'a', ' ', 'k', 'i', 'l', 'l'}},
                  {"one.txt", Records(1000, 1)}}));
}

// A folder that extraction makes or enters is never a symbolic link: an
// existing link is refused and nothing is written where it points. The
// destination named by the caller may itself be a link.
TEST_F(ExtractSafety, LinksBelowTheDestinationAreRefused) {
  const std::string elsewhere = dir_.File("elsewhere");
  struct Case {
    const char* what;
    const char* link;    // below out, pointing at elsewhere
    const char* folder;  // made first below out
    const char* path;
    Kind kind;
    Tree left;  // what out holds afterwards, links as "NAME@"
  };
  const Case cases[] = {
      {"the disk folder", "disk_01", nullptr, "disk_01", Kind::Folder, {{"disk_01@", {}}}},
      {"a user area", "user_3", nullptr, "disk_01\\user_3", Kind::Folder, {{"user_3@", {}}}},
      {"a user area inside the disk folder",
       "disk_01/user_3",
       "disk_01",
       "disk_01",
       Kind::Folder,
       {{"disk_01/", {}},
        {"disk_01/one.txt", Records(1000, 1)},
        {"disk_01/big.dat", Records(100000, 2)},
        {"disk_01/user_3@", {}}}},
      {"a file's name", "one.txt", nullptr, "disk_01\\one.txt", Kind::File, {{"one.txt@", {}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Out());
    fs::remove_all(elsewhere);
    fs::create_directory(Out());
    fs::create_directory(elsewhere);
    if (c.folder) fs::create_directory(Out() + "/" + c.folder);
    fs::create_symlink(elsewhere, Out() + "/" + c.link);
    EXPECT_EQ(Copy(c.path, c.kind, Out()), 0);
    EXPECT_TRUE(fs::is_empty(elsewhere));
    Tree left;
    for (const auto& entry : fs::recursive_directory_iterator(Out())) {
      const std::string rel = entry.path().lexically_relative(Out()).string();
      if (entry.is_symlink())
        left[rel + "@"] = {};
      else if (entry.is_directory())
        left[rel + "/"] = {};
      else
        left[rel] = hddtest::ReadWholeFile(entry.path().string());
    }
    EXPECT_EQ(left, c.left);
  }
  // A dangling link under a file's name: nothing is created where it points.
  fs::remove_all(Out());
  fs::create_directory(Out());
  fs::create_symlink(dir_.File("nowhere"), Out() + "/one.txt");
  EXPECT_EQ(Copy("disk_01\\one.txt", Kind::File, Out()), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir_.File("nowhere"))));

  // The destination itself a link: the caller's choice, followed.
  fs::remove_all(Out());
  fs::remove_all(elsewhere);
  fs::create_directory(elsewhere);
  fs::create_symlink(elsewhere, Out());
  EXPECT_EQ(Copy("disk_01", Kind::Folder, Out()), 1);
  Tree expected;
  expected["disk_01/"] = {};
  expected["disk_01/user_3/"] = {};
  for (const auto& [name, bytes] : Whole()) expected["disk_01/" + name] = bytes;
  EXPECT_EQ(hddtest::ReadTree(elsewhere), expected);
}

}  // namespace
