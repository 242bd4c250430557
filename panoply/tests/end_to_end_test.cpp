// The plug-in from its installed folder with the real hdd.di, driven by our host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "hddtest/image_builder.h"
#include "host/host.h"
#include "host/recorder.h"
#include "test_support.h"

namespace {

const char* kPlugin = PANOPLY_PLUGIN_PATH;

std::vector<std::pair<std::string, std::string>> Listing(const host::Host& h) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& i : h.panelItems)
    out.emplace_back(i.FindData.cFileName, i.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY
                                               ? "<DIR>"
                                               : std::to_string(i.FindData.nFileSizeLow));
  return out;
}

bool ModuleBesidePlugin() {
  return std::filesystem::exists(std::filesystem::path(kPlugin).parent_path() / "Formats/hdd.di");
}

// The plug-in started by a strict host that then opens IMAGE and reads its panel, as a file
// manager does; Close stops it and checks the screen balance and that no box was unexpected.
struct Session {
  explicit Session(const std::string& registryFile) : host(Options(registryFile)), script(true) {
    host.SetResponder(&script);
    host.SetObserver(&log);
  }
  static host::HostOptions Options(const std::string& registryFile) {
    host::HostOptions o;
    o.registryFile = registryFile;
    return o;
  }
  void Open(const std::string& image) {
    std::string error;
    ASSERT_TRUE(host.Load(kPlugin, &error)) << error;
    host.Start();
    ASSERT_TRUE(host.OpenFile(image));
    ASSERT_TRUE(host.ReadPanel());
  }
  void Close() {
    host.Stop();
    EXPECT_TRUE(host.ScreenBalanced());
    EXPECT_TRUE(script.failures().empty());
  }
  host::Host host;
  host::ScriptedResponder script;
  host::Recorder log;
};

TEST(EndToEnd, AMicroDosImageOpensAndItsFoldersCanBeBrowsed) {
  if (!ModuleBesidePlugin()) GTEST_SKIP() << "hdd.di is not beside the plug-in";
  testsupport::TempDir dir;
  hddtest::ImageBuilder b(2);
  b.AddFile(1, 0, "README.TXT", hddtest::PatternBytes(1000));
  b.AddFile(1, 1, "GAME.COM", hddtest::PatternBytes(300));
  b.AddFile(1, 2, "DATA.BIN", hddtest::PatternBytes(20000));
  b.AddFile(2, 0, "OTHER.BAS", hddtest::PatternBytes(50));
  const std::string image = dir / "work.hdd";
  ASSERT_TRUE(b.Save(image));

  Session s(dir / "registry.txt");
  ASSERT_NO_FATAL_FAILURE(s.Open(image));
  host::Host& h = s.host;
  using L = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Listing(h), (L{{"disk_01", "<DIR>"}, {"disk_02", "<DIR>"}}));
  ASSERT_TRUE(h.ChangeDirectory("disk_01"));
  const L inDisk = Listing(h);
  EXPECT_NE(std::find(inDisk.begin(), inDisk.end(), std::pair<std::string, std::string>{"user_1", "<DIR>"}),
            inDisk.end());
  EXPECT_NE(std::find(inDisk.begin(), inDisk.end(), std::pair<std::string, std::string>{"user_2", "<DIR>"}),
            inDisk.end());
  bool readme = false;
  for (const auto& [name, size] : inDisk)
    if (name.find("README") != std::string::npos || name.find("readme") != std::string::npos) {
      readme = true;
      EXPECT_EQ(size, "1024");  // whole 128-byte records
    }
  EXPECT_TRUE(readme) << inDisk.size();
  ASSERT_TRUE(h.ChangeDirectory("user_1"));
  ASSERT_EQ(h.panelItems.size(), 1u);
  OpenPluginInfo info;
  ASSERT_TRUE(h.GetInfo(info));
  EXPECT_STREQ(info.CurDir, "disk_01\\user_1");
  EXPECT_EQ(std::string(info.PanelTitle), " HDD for MicroDOS:work.hdd\\disk_01\\user_1 ");
  ASSERT_TRUE(h.ChangeDirectory(".."));
  ASSERT_TRUE(h.ChangeDirectory(".."));
  EXPECT_EQ(Listing(h).size(), 2u);
  s.Close();
}

// An open image overwritten by a file whose disk count is 0: the next reading is refused,
// the read error is shown once and the old list stays.
TEST(EndToEnd, AnImageReplacedByANonImageReportsTheReadErrorOnce) {
  if (!ModuleBesidePlugin()) GTEST_SKIP() << "hdd.di is not beside the plug-in";
  testsupport::TempDir dir;
  hddtest::ImageBuilder b(1);
  b.AddFile(1, 0, "KEEP.TXT", hddtest::PatternBytes(100));
  const std::string image = dir / "work.hdd";
  ASSERT_TRUE(b.Save(image));
  Session s(dir / "registry.txt");
  ASSERT_NO_FATAL_FAILURE(s.Open(image));
  host::Host& h = s.host;
  host::Recorder& log = s.log;
  ASSERT_TRUE(h.ChangeDirectory("disk_01"));

  hddtest::ImageBuilder other(1);
  other.SetDiskCountField(0);
  other.SetSize(803840 + 1);  // another size, so the change is seen whatever the clock
  ASSERT_TRUE(other.Save(image));
  log.Clear();
  s.script.Push(host::Answer::Button(0));
  EXPECT_FALSE(h.ReadPanel());
  EXPECT_FALSE(h.ReadPanel());
  ASSERT_EQ(log.messages.size(), 1u);
  ASSERT_EQ(log.messages[0].lines.size(), 3u);
  EXPECT_EQ(log.messages[0].lines[1], h.language().Text(31));
  EXPECT_EQ(+log.messages[0].flags, FMSG_WARNING);
  using L = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Listing(h), (L{{"keep.txt", "128"}}));  // the host's last reading of the panel
  s.Close();
}

// The plug-in menu opens no panel: with no default format stored it offers the format
// chooser, here left with Esc.
TEST(EndToEnd, ThePluginMenuWithoutAStoredFormatOffersTheFormatChooser) {
  if (!ModuleBesidePlugin()) GTEST_SKIP() << "hdd.di is not beside the plug-in";
  testsupport::TempDir dir;
  Session s(dir / "registry.txt");
  std::string error;
  ASSERT_TRUE(s.host.Load(kPlugin, &error)) << error;
  s.host.Start();
  s.script.Push(host::Answer::Pick(-1));
  EXPECT_EQ(s.host.plugin().OpenPlugin(0, 0), kNoPanel);
  ASSERT_EQ(s.log.menus.size(), 1u);
  EXPECT_EQ(s.log.menus[0].title, s.host.language().Text(21));
  s.Close();
}

// A hard-disk image built from real MicroDOS floppies, opened from a private copy (the
// shared file may be read-only, and the plug-in opens images for reading and writing).
TEST(EndToEnd, ARealHardDiskImageListsItsDisksAndFiles) {
  const char* data = std::getenv("SHARED_TESTDATA_DIR");
  const std::filesystem::path source = std::filesystem::path(data ? data : "") / "microdos" / "derived_2disk.hdd";
  if (!data || !std::filesystem::exists(source)) GTEST_SKIP() << "no shared test data";
  if (!ModuleBesidePlugin()) GTEST_SKIP() << "hdd.di is not beside the plug-in";
  testsupport::TempDir dir;
  const std::string image = dir / "derived_2disk.hdd";
  std::filesystem::copy_file(source, image);
  std::filesystem::permissions(image, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  Session s(dir / "registry.txt");
  ASSERT_NO_FATAL_FAILURE(s.Open(image));
  host::Host& h = s.host;
  using L = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Listing(h), (L{{"disk_01", "<DIR>"}, {"disk_02", "<DIR>"}}));
  ASSERT_TRUE(h.ChangeDirectory("disk_02"));
  const L second = Listing(h);
  EXPECT_EQ(second.size(), 21u);
  for (const auto& file : L{{"cputest.com", "19200"}, {"pip.doc", "3584"}, {"ed.com", "12928"}})
    EXPECT_NE(std::find(second.begin(), second.end(), file), second.end()) << file.first;
  ASSERT_TRUE(h.ChangeDirectory("\\disk_01\\user_2"));
  EXPECT_EQ(Listing(h), (L{{"dizzy.spr", "14336"}, {"sonic.spr", "13056"}}));
  s.Close();
}

// hdd writes nothing into images: a put stops at the first file with one box, and the
// image stays byte for byte.
TEST(EndToEnd, PuttingFilesIntoAMicroDosImageStopsAtTheFirstFile) {
  if (!ModuleBesidePlugin()) GTEST_SKIP() << "hdd.di is not beside the plug-in";
  testsupport::TempDir dir;
  hddtest::ImageBuilder b(1);
  b.AddFile(1, 0, "README.TXT", hddtest::PatternBytes(1000));
  const std::string image = dir / "work.hdd";
  ASSERT_TRUE(b.Save(image));
  const std::string before = testsupport::ReadFile(image);
  testsupport::WriteFile(dir / "one.txt", "one");
  testsupport::WriteFile(dir / "two.txt", "two");

  Session s(dir / "registry.txt");
  ASSERT_NO_FATAL_FAILURE(s.Open(image));
  host::Host& h = s.host;
  host::Recorder& log = s.log;
  log.Clear();
  s.script.Push(host::Answer::Close(6));
  s.script.Push(host::Answer::Button(0));
  EXPECT_EQ(h.Put({dir / "one.txt", dir / "two.txt"}), 0);
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_EQ(log.messages[0].lines[1], h.language().Text(39));
  EXPECT_EQ(testsupport::ReadFile(image), before);
  s.Close();
}

// A new image of hdd's format: the empty file, the PC panel updated and redrawn, then
// hdd's box; the format is stored for the next time.
TEST(EndToEnd, ANewMicroDosImageIsAnEmptyFileAndTheModuleSaysItCannotFillIt) {
  if (!ModuleBesidePlugin()) GTEST_SKIP() << "hdd.di is not beside the plug-in";
  testsupport::TempDir dir;
  Session s(dir / "registry.txt");
  std::string error;
  ASSERT_TRUE(s.host.Load(kPlugin, &error)) << error;
  s.host.Start();
  host::Host& h = s.host;
  host::Recorder& log = s.log;
  s.script.Push(host::Answer::Pick(0));  // the chooser: the only format
  s.script.Push(host::Answer::Pick(0));  // the menu: new image
  s.script.Push(host::Answer::Close(2, {{2, dir / "disk"}}));
  s.script.Push(host::Answer::Button(0));
  EXPECT_FALSE(h.OpenFromMenu());
  ASSERT_EQ(log.menus.size(), 2u);
  EXPECT_EQ(log.menus[0].items.at(0).text, "1 HDD for MicroDOS");
  const std::string made = dir / "DISK.HDD";
  ASSERT_TRUE(std::filesystem::exists(made));
  EXPECT_EQ(std::filesystem::file_size(made), 0u);
  std::vector<std::string> order;
  for (const auto& e : log.events) {
    if (e.kind == host::Event::Control) order.push_back("control " + std::to_string(log.controls[e.index].command));
    if (e.kind == host::Event::Message) order.push_back(log.messages[e.index].lines[1]);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"control 3", "control 5", h.language().Text(39)}));
  EXPECT_EQ(log.pcUpdateRequests, 1);
  EXPECT_EQ(log.pcRedrawRequests, 1);
  // Next time the stored format leads straight to the menu.
  log.Clear();
  s.script.Push(host::Answer::Pick(-1));
  EXPECT_FALSE(h.OpenFromMenu());
  ASSERT_EQ(log.menus.size(), 1u);
  EXPECT_EQ(log.menus[0].helpTopic, "ImageGlobalFunc");
  s.Close();
}

}  // namespace
