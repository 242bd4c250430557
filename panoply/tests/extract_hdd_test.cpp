// Copying, moving and deleting items of MicroDOS images through the built plug-in and the
// real hdd.di, with faults injected into the platform layer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "hddtest/image_builder.h"
#include "host/host.h"
#include "host/recorder.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

const char* kPlugin = PANOPLY_PLUGIN_PATH;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A file's bytes in short: the size and a hash.
std::string Digest(const std::string& bytes) {
  return std::to_string(bytes.size()) + ":" + std::to_string(std::hash<std::string>{}(bytes));
}

// Every regular file below root by its path relative to root, lower-cased, with the digest
// of its bytes.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> out;
  if (!fs::exists(root)) return out;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file())
      out[Lower(fs::relative(e.path(), root).string())] = Digest(testsupport::ReadFile(e.path()));
  return out;
}

std::string Str(const hddtest::Bytes& b) { return Digest(std::string(b.begin(), b.end())); }

class ExtractHddTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(fs::path(kPlugin).parent_path() / "Formats/hdd.di")) GTEST_SKIP() << "no hdd.di beside the plug-in";
    hddtest::ImageBuilder b(2);
    // A MicroDOS file is whole records of 128 bytes, so these sizes are what is extracted.
    readme = b.AddFile(1, 0, "README.TXT", hddtest::PatternBytes(1024, 1));
    big = b.AddFile(1, 0, "BIG.DAT", hddtest::PatternBytes(40064, 2));
    game = b.AddFile(1, 1, "GAME.COM", hddtest::PatternBytes(384, 3));
    other = b.AddFile(2, 0, "OTHER.BAS", hddtest::PatternBytes(128, 4));
    second = b.AddFile(2, 0, "SECOND.TXT", hddtest::PatternBytes(3072, 5));
    image = dir / "test.hdd";
    ASSERT_TRUE(b.Save(image));
    original = testsupport::ReadFile(image);
    host::HostOptions o;
    o.registryFile = dir / "registry.txt";
    h = std::make_unique<host::Host>(o);
    h->SetResponder(&script);
    h->SetObserver(&log);
    std::string error;
    ASSERT_TRUE(h->Load(kPlugin, &error)) << error;
    h->Start();
    ASSERT_TRUE(h->OpenFile(image));
    ASSERT_TRUE(h->ReadPanel());
    out = dir / "out";
  }
  void TearDown() override {
    unsetenv("DESKTOOLS_FAULTS");
    if (!h) return;
    const std::vector<std::string> errors = h->TakeCallErrors();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(script.pending(), 0u);
    h->Stop();
    EXPECT_TRUE(h->ScreenBalanced());
  }
  int At(const std::string& name) const {
    for (size_t i = 0; i < h->panelItems.size(); ++i)
      if (Lower(h->panelItems[i].FindData.cFileName) == Lower(name)) return static_cast<int>(i);
    ADD_FAILURE() << "no item " << name;
    return -1;
  }
  std::vector<int> Messages() const {
    std::vector<int> out;
    for (const auto& m : log.messages)
      if (m.buttons == 1)
        out.push_back(h->language().Text(40) == m.lines[1]   ? 40
                      : h->language().Text(41) == m.lines[1] ? 41
                      : h->language().Text(43) == m.lines[1] ? 43
                      : h->language().Text(45) == m.lines[1] ? 45
                                                             : -1);
    return out;
  }
  // The offsets where the image differs from the one saved at the start.
  std::vector<std::uint64_t> Changed() const {
    const std::string now = testsupport::ReadFile(image);
    std::vector<std::uint64_t> out;
    if (now.size() != original.size()) return {~0ull};
    for (size_t i = 0; i < now.size(); ++i)
      if (now[i] != original[i]) out.push_back(i);
    return out;
  }
  static std::vector<std::uint64_t> FirstBytes(std::uint32_t disk,
                                               const std::vector<std::vector<std::uint32_t>>& slots) {
    std::vector<std::uint64_t> out;
    for (const auto& s : slots)
      for (std::uint32_t k : s) out.push_back(hddtest::SlotOffsetOf(disk, k));
    std::sort(out.begin(), out.end());
    return out;
  }
  testsupport::TempDir dir;
  fs::path image, out;
  std::string original;
  std::vector<std::uint32_t> readme, big, game, other, second;
  host::ScriptedResponder script{false};
  host::Recorder log;
  std::unique_ptr<host::Host> h;
};

TEST_F(ExtractHddTest, FilesAndFoldersAreCopiedIntoANewDeepDestination) {
  const std::string before = fs::current_path();
  const fs::path deep = out / "one" / "two" / "three";
  ASSERT_EQ(h->Copy({At("disk_01"), At("disk_02")}, deep, false, OPM_SILENT), 1);
  EXPECT_EQ(Tree(deep), (std::map<std::string, std::string>{
                            {"disk_01/readme.txt", Str(hddtest::PatternBytes(1024, 1))},
                            {"disk_01/big.dat", Str(hddtest::PatternBytes(40064, 2))},
                            {"disk_01/user_1/game.com", Str(hddtest::PatternBytes(384, 3))},
                            {"disk_02/other.bas", Str(hddtest::PatternBytes(128, 4))},
                            {"disk_02/second.txt", Str(hddtest::PatternBytes(3072, 5))},
                        }));
  ASSERT_TRUE(h->ChangeDirectory("disk_01"));
  ASSERT_EQ(h->Copy({At("readme.txt"), At("user_1")}, out / "flat", false, OPM_SILENT), 1);
  EXPECT_EQ(Tree(out / "flat"), (std::map<std::string, std::string>{
                                    {"readme.txt", Str(hddtest::PatternBytes(1024, 1))},
                                    {"user_1/game.com", Str(hddtest::PatternBytes(384, 3))},
                                }));
  EXPECT_EQ(fs::current_path(), before);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Changed().empty());
}

// A move frees exactly the entries of what it copied, after the copy is whole on the PC.
TEST_F(ExtractHddTest, AMoveFreesExactlyTheMovedEntries) {
  ASSERT_TRUE(h->ChangeDirectory("disk_01"));
  ASSERT_EQ(h->Copy({At("big.dat"), At("user_1")}, out, true, OPM_SILENT), 1);
  EXPECT_EQ(Tree(out), (std::map<std::string, std::string>{
                           {"big.dat", Str(hddtest::PatternBytes(40064, 2))},
                           {"user_1/game.com", Str(hddtest::PatternBytes(384, 3))},
                       }));
  EXPECT_EQ(Changed(), FirstBytes(1, {big, game}));
  std::vector<std::string> left;
  for (const auto& i : h->panelItems) left.push_back(Lower(i.FindData.cFileName));
  EXPECT_EQ(left, std::vector<std::string>{"readme.txt"});

  ASSERT_TRUE(h->ChangeDirectory(".."));
  ASSERT_EQ(h->Copy({At("disk_02")}, out / "d", true, OPM_SILENT), 1);
  EXPECT_EQ(Tree(out / "d").size(), 2u);
  auto expected = FirstBytes(1, {big, game});
  for (auto o : FirstBytes(2, {other, second})) expected.push_back(o);
  EXPECT_EQ(Changed(), expected);
  EXPECT_TRUE(Messages().empty());
}

// Faults on the PC side or at the image: the boxes, nothing half-written, the image unchanged.
TEST_F(ExtractHddTest, InjectedFaultsLeaveTheImageUnchanged) {
  struct Case {
    std::string faults;  // "OUT" and "IMAGE" stand for the folders' paths
    std::vector<int> items;
    std::vector<int> boxes;
  };
  // The first file of disk_01 is README.TXT (1024 bytes): the disk fills in BIG.DAT.
  const Case cases[] = {
      {"write-full-after=1500,under=OUT", {At("disk_01")}, {41}},
      {"deny-create,under=OUT", {At("disk_02")}, {41}},
      {"deny-create,under=IMAGE", {At("disk_01"), At("disk_02")}, {45, 45}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.faults);
    fs::remove_all(out);
    fs::create_directories(out);
    log.Clear();
    std::string faults = c.faults;
    if (auto p = faults.find("OUT"); p != std::string::npos) faults.replace(p, 3, out.string());
    if (auto p = faults.find("IMAGE"); p != std::string::npos) faults.replace(p, 5, image.string());
    setenv("DESKTOOLS_FAULTS", faults.c_str(), 1);
    EXPECT_EQ(h->Copy(c.items, out, true, OPM_SILENT), 1);
    unsetenv("DESKTOOLS_FAULTS");
    EXPECT_EQ(Messages(), c.boxes);
    EXPECT_TRUE(Changed().empty());
    for (const auto& [name, bytes] : Tree(out)) {
      const std::string base = fs::path(name).filename().string();
      EXPECT_TRUE(base == "readme.txt" || base == "other.bas") << "left behind: " << name;
    }
  }
  // Files of a user folder denied one by one in the destination: box 40 for each file item.
  ASSERT_TRUE(h->ChangeDirectory("disk_02"));
  log.Clear();
  setenv("DESKTOOLS_FAULTS", ("deny-create,under=" + out.string()).c_str(), 1);
  EXPECT_EQ(h->Copy({At("other.bas"), At("second.txt")}, out / "x", true, OPM_SILENT), 1);
  EXPECT_EQ(Messages(), (std::vector<int>{40, 40}));
  EXPECT_TRUE(Changed().empty());
}

TEST_F(ExtractHddTest, DeletingFreesExactlyTheEntriesAndTheNextListingHidesThem) {
  const auto mtime = fs::last_write_time(image);
  ASSERT_TRUE(h->ChangeDirectory("disk_01"));
  script.Push(host::Answer::Button(0));  // confirmation
  script.Push(host::Answer::Button(0));  // the archive question
  script.Push(host::Answer::Button(0));  // the folder question
  ASSERT_EQ(h->Remove({At("readme.txt"), At("user_1")}), TRUE);
  EXPECT_EQ(Changed(), FirstBytes(1, {readme, game}));
  // The same modification time as before: the panel still reads the image again.
  fs::last_write_time(image, mtime);
  ASSERT_TRUE(h->ReadPanel());
  std::vector<std::string> left;
  for (const auto& i : h->panelItems) left.push_back(Lower(i.FindData.cFileName));
  EXPECT_EQ(left, std::vector<std::string>{"big.dat"});

  ASSERT_TRUE(h->ChangeDirectory(".."));
  script.Push(host::Answer::Button(0));
  script.Push(host::Answer::Button(0));
  ASSERT_EQ(h->Remove({At("disk_02")}), TRUE);
  auto expected = FirstBytes(1, {readme, game});
  for (auto o : FirstBytes(2, {other, second})) expected.push_back(o);
  EXPECT_EQ(Changed(), expected);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ExtractHddTest, AFailedWriteWhileDeletingChangesNothing) {
  ASSERT_TRUE(h->ChangeDirectory("disk_01"));
  setenv("DESKTOOLS_FAULTS", ("write-fail-call=1,under=" + image.string()).c_str(), 1);
  script.Push(host::Answer::Button(0));
  EXPECT_EQ(h->Remove({At("big.dat")}), FALSE);
  unsetenv("DESKTOOLS_FAULTS");
  EXPECT_EQ(Messages(), std::vector<int>{43});
  EXPECT_TRUE(Changed().empty());
}

// The image changed under the panel after it was listed: cut short inside the second disk's
// directory, or its disk count lowered to 1. Copies and deletions report the module's
// failure (or pass over a disk no longer there without a word) and the image never grows.
// (The host's reading after each call reports the list it can no longer read; those boxes
// are not counted here.)
TEST_F(ExtractHddTest, AnImageChangedUnderThePanel) {
  ASSERT_TRUE(h->ChangeDirectory("disk_02"));
  const int item = At("other.bas");
  // The host still shows the list it read before each command (its reading afterwards
  // finds the folder changed or gone).
  const auto listed = h->panelItems;
  auto failures = [&] {
    std::vector<int> out;
    for (int m : Messages())
      if (m != -1) out.push_back(m);
    return out;
  };
  const std::uint64_t cut = hddtest::SlotOffsetOf(2, 0) + 16;
  fs::resize_file(image, cut);
  EXPECT_EQ(h->Copy({item}, out, true, OPM_SILENT), 1);
  EXPECT_EQ(failures(), std::vector<int>{40});
  h->panelItems = listed;
  script.Push(host::Answer::Button(0));
  EXPECT_EQ(h->Remove({item}), FALSE);
  EXPECT_EQ(failures(), (std::vector<int>{40, 43}));
  EXPECT_EQ(fs::file_size(image), cut);
  EXPECT_TRUE(Tree(out).empty());

  // Fewer disks: disk 2 is outside the image now, and the module says so silently.
  const std::string oneDisk = original.substr(0, 132) + std::string("\x01\x00", 2) + original.substr(134);
  testsupport::WriteFile(image, oneDisk);
  log.Clear();
  h->panelItems = listed;
  EXPECT_EQ(h->Copy({item}, out, true, OPM_SILENT), 1);
  h->panelItems = listed;
  script.Push(host::Answer::Button(0));
  EXPECT_EQ(h->Remove({item}), TRUE);
  EXPECT_TRUE(failures().empty());
  EXPECT_EQ(testsupport::ReadFile(image), oneDisk);
  EXPECT_TRUE(Tree(out).empty());
}

}  // namespace
