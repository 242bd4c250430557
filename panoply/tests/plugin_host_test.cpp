// The plug-in as a file manager sees it: loaded by our host from its shared library.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>

#include "host/host.h"
#include "host/recorder.h"
#include "platform/registry.h"
#include "test_support.h"

using testsupport::TempDir;

namespace {

const char* kPlugin = PANOPLY_PLUGIN_PATH;

class PluginHost : public testing::Test {
 protected:
  std::unique_ptr<host::Host> Make(host::HostOptions o = {}) {
    o.registryFile = registry;
    auto h = std::make_unique<host::Host>(o);
    std::string error;
    EXPECT_TRUE(h->Load(kPlugin, &error)) << error;
    h->SetResponder(&script);
    h->SetObserver(&log);
    return h;
  }
  void TearDown() override { EXPECT_TRUE(script.failures().empty()) << script.failures()[0]; }
  TempDir dir;
  std::string registry = dir / "registry.txt";
  host::ScriptedResponder script{true};
  host::Recorder log;
};

TEST(PluginLibrary, ExportsExactlyTheFifteenEntryPoints) {
  FILE* p = popen((std::string("nm -D --defined-only ") + kPlugin + " 2>/dev/null").c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::set<std::string> names;
  char line[512];
  while (fgets(line, sizeof line, p)) {
    char addr[64], type[8], name[400];
    if (sscanf(line, "%63s %7s %399s", addr, type, name) == 3) names.insert(name);
  }
  const int rc = pclose(p);
  if (rc != 0 && names.empty()) GTEST_SKIP() << "nm is not available";
  const std::set<std::string> expected(std::begin(kPluginExportNames), std::end(kPluginExportNames));
  EXPECT_EQ(names, expected);
}

TEST_F(PluginHost, StartsAndDescribesItself) {
  auto h = Make();
  h->Start();
  PluginInfo info;
  std::memset(&info, 0x5A, sizeof info);
  h->plugin().GetPluginInfo(&info);
  EXPECT_EQ(info.StructSize, int(sizeof(PluginInfo)));
  EXPECT_EQ(+info.Flags, 0u);
  EXPECT_EQ(info.DiskMenuStrings, nullptr);
  EXPECT_EQ(info.DiskMenuNumbers, nullptr);
  EXPECT_EQ(info.DiskMenuStringsNumber, 0);
  ASSERT_EQ(info.PluginMenuStringsNumber, 1);
  EXPECT_STREQ(info.PluginMenuStrings[0], h->language().Text(14));
  ASSERT_EQ(info.PluginConfigStringsNumber, 1);
  EXPECT_STREQ(info.PluginConfigStrings[0], h->language().Text(13));
  EXPECT_STRNE(info.PluginMenuStrings[0], "");
  EXPECT_EQ(reinterpret_cast<uintptr_t>(info.CommandPrefix), uintptr_t{0x5A5A5A5A5A5A5A5A});  // not written
  EXPECT_EQ(h->plugin().ProcessHostFile(nullptr, nullptr, 0, 0), 0);
  h->Stop();
  EXPECT_TRUE(h->ScreenBalanced());
}

TEST_F(PluginHost, ExportsBeforeStartUpReturnNothing) {
  auto h = Make();
  PluginInfo info{};
  h->plugin().GetPluginInfo(&info);
  EXPECT_EQ(info.PluginMenuStringsNumber, 0);
  EXPECT_EQ(h->plugin().Configure(0), 0);
  EXPECT_EQ(h->plugin().OpenFilePlugin("/nonexistent.img", nullptr, 0), kNoPanel);
  EXPECT_EQ(h->plugin().OpenPlugin(0, 0), kNoPanel);
  PluginPanelItem* items = reinterpret_cast<PluginPanelItem*>(1);
  int count = 5;
  EXPECT_EQ(h->plugin().GetFindData(nullptr, &items, &count, 0), 0);
  EXPECT_EQ(h->plugin().SetDirectory(nullptr, "x", 0), 0);
  EXPECT_EQ(h->plugin().DeleteFiles(nullptr, nullptr, 1, 0), 0);
  EXPECT_EQ(h->plugin().GetFiles(nullptr, nullptr, 1, 0, nullptr, 0), 0);
  EXPECT_EQ(h->plugin().PutFiles(nullptr, nullptr, 1, 0, 0), 0);
  EXPECT_TRUE(log.messages.empty());
  EXPECT_TRUE(log.dialogs.empty());
}

// The settings dialog as the host records it, item by item.
std::vector<host::DialogItemRecord> ExpectedDialog(const host::Host& h, int hotKeys, int protect, int decoder,
                                                   const std::string& masks) {
  const auto& l = h.language();
  const unsigned sep = DIF_BOXCOLOR | DIF_SEPARATOR;
  return {
      {DI_DOUBLEBOX, 3, 1, 68, 13, 0, 0, "", 0, 0, l.Text(12)},
      {DI_CHECKBOX, 5, 3, 0, 0, 1, hotKeys, "", 0, 0, l.Text(27)},
      {DI_CHECKBOX, 5, 4, 0, 0, 0, protect, "", 0, 0, l.Text(28)},
      {DI_TEXT, 5, 5, 0, 0, 0, 0, "", sep, 0, ""},
      {DI_CHECKBOX, 5, 9, 0, 0, 0, decoder, "", 0, 0, l.Text(29)},
      {DI_EDIT, 5, 10, 66, 10, 0, 0, "Masks", DIF_HISTORY, 1, masks},
      {DI_TEXT, 5, 11, 0, 0, 0, 0, "", sep, 0, ""},
      {DI_BUTTON, 0, 12, 0, 0, 0, 0, "", DIF_CENTERGROUP, 1, l.Text(0)},
      {DI_BUTTON, 0, 12, 0, 0, 0, 0, "", DIF_CENTERGROUP, 0, l.Text(1)},
  };
}

TEST_F(PluginHost, SettingsDialogShowsTheDefaultsAndCancelWritesNothing) {
  auto h = Make();
  h->Start();
  script.Push(host::Answer::Close(8, {{5, "*.changed"}}, {{1, 0}}));
  EXPECT_EQ(h->plugin().Configure(0), 0);
  script.Push(host::Answer::Close(-1, {{5, "*.esc"}}, {}));
  EXPECT_EQ(h->plugin().Configure(0), 0);
  ASSERT_EQ(log.dialogs.size(), 2u);
  const auto& d = log.dialogs[0];
  EXPECT_EQ(d.x1, -1);
  EXPECT_EQ(d.y1, -1);
  EXPECT_EQ(d.x2, 72);
  EXPECT_EQ(d.y2, 15);
  EXPECT_EQ(d.helpTopic, "ImageCfg");
  EXPECT_EQ(d.items, ExpectedDialog(*h, 1, 1, 0, "*.txt,*.doc"));
  // Neither the store nor the settings changed.
  EXPECT_FALSE(std::filesystem::exists(registry));
  EXPECT_EQ(log.dialogs[1].items, d.items);
}

TEST_F(PluginHost, OkWritesTheFourValuesInOrderAndAStartReadsThemAgain) {
  auto h = Make();
  h->Start();
  script.Push(host::Answer::Close(7, {{5, "*.bin"}}, {{1, 0}, {2, 0}, {4, 1}}));
  EXPECT_EQ(h->plugin().Configure(0), 1);
  const std::string store = testsupport::ReadFile(registry);
  const size_t a = store.find("\"DecodeNames\"=sz:*.bin%00"), b = store.find("\"Protect\"=dword:00000000"),
               c = store.find("\"UseDecoder\"=dword:00000001"), d = store.find("\"UseHotKeys\"=dword:00000000");
  ASSERT_NE(a, std::string::npos) << store;
  EXPECT_LT(a, b);
  EXPECT_LT(b, c);
  EXPECT_LT(c, d);
  EXPECT_NE(d, std::string::npos);
  EXPECT_NE(store.find("[HKEY_CURRENT_USER\\Software\\DeskTools\\PanoplyHost\\Plugins\\Panoply]"), std::string::npos);

  // Another program changes the store; a second start-up record makes the plug-in read it.
  HKEY key = nullptr;
  platform::SetRegistryStorePath(registry);
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\DeskTools\\PanoplyHost\\Plugins\\Panoply", 0, KEY_WRITE, &key),
            kRegSuccess);
  const uint32_t one = 1;
  RegSetValueExA(key, "Protect", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
  RegSetValueExA(key, "DecodeNames", 0, REG_SZ, reinterpret_cast<const BYTE*>("*.new"), 6);
  RegCloseKey(key);
  platform::SetRegistryStorePath("");
  h->Start();
  script.Push(host::Answer::Close(-1, {}, {}));
  h->plugin().Configure(0);
  EXPECT_EQ(log.dialogs.back().items, ExpectedDialog(*h, 0, 1, 1, "*.new"));
}

// OK with a store that cannot be written (its folder is a file): the result says
// nothing was stored, and no box is shown (the host reports it).
TEST_F(PluginHost, OkWithAStoreThatCannotBeWrittenIsNotStored) {
  testsupport::WriteFile(dir / "plain", "x");
  registry = dir / "plain" / "registry.txt";
  auto h = Make();
  h->Start();
  script.Push(host::Answer::Close(7, {{5, "*.bin"}}, {}));
  EXPECT_EQ(h->plugin().Configure(0), 0);
  EXPECT_TRUE(log.messages.empty());
  EXPECT_EQ(testsupport::ReadFile(dir / "plain"), "x");
}

// Without an observer the host still answers every box but keeps none of them.
TEST_F(PluginHost, AHostWithoutItsLogAnswersButRecordsNothing) {
  auto h = Make();
  h->SetObserver(nullptr);
  h->Start();
  script.Push(host::Answer::Close(7, {{5, "*.log"}}, {}));
  EXPECT_EQ(h->plugin().Configure(0), 1);
  EXPECT_NE(testsupport::ReadFile(registry).find("*.log"), std::string::npos);
  EXPECT_TRUE(log.dialogs.empty());
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(script.pending(), 0u);
}

TEST_F(PluginHost, LongInputsAreCutWithoutOverflow) {
  host::HostOptions o;
  o.rootKey = std::string(300, 'R');  // too long for the key name: cut to 71 characters
  auto h = Make(o);
  h->Start();
  const std::string masks(511, 'm');
  script.Push(host::Answer::Close(7, {{5, masks}}, {}));
  EXPECT_EQ(h->plugin().Configure(0), 1);
  const std::string store = testsupport::ReadFile(registry);
  EXPECT_NE(store.find("[HKEY_CURRENT_USER\\" + std::string(71, 'R') + "\\Panoply]"), std::string::npos) << store;
  EXPECT_NE(store.find("\"DecodeNames\"=sz:" + std::string(259, 'm') + "%00"), std::string::npos);
  // The setting kept what fits its 260 bytes, and a new start reads it back.
  h->Start();
  script.Push(host::Answer::Close(-1, {}, {}));
  h->plugin().Configure(0);
  EXPECT_EQ(log.dialogs.back().items[5].data, std::string(259, 'm'));
}

TEST_F(PluginHost, RussianTextsComeFromTheRussianFile) {
  host::HostOptions o;
  o.language = "ru";
  auto h = Make(o);
  h->Start();
  PluginInfo info{};
  h->plugin().GetPluginInfo(&info);
  ASSERT_EQ(info.PluginMenuStringsNumber, 1);
  EXPECT_EQ(std::string(info.PluginMenuStrings[0]), "Панель образов дисков");
  EXPECT_EQ(h->language().size(), 64u);
}

}  // namespace
