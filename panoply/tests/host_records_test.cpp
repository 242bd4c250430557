// Record layouts shared with plug-ins, and the host's own bookkeeping of boxes and screens.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstddef>

#include "host/display.h"
#include "host/host.h"
#include "host/recorder.h"
#include "test_support.h"

namespace {

TEST(HostRecords, FixedSizesAndOffsetsHold) {
  EXPECT_EQ(sizeof(PluginStartupInfo), 336u);
  EXPECT_EQ(offsetof(PluginStartupInfo, ModuleName), 4u);
  EXPECT_EQ(offsetof(PluginStartupInfo, ModuleNumber), 264u);
  EXPECT_EQ(offsetof(PluginStartupInfo, RootKey), 268u);
  const size_t services[] = {offsetof(PluginStartupInfo, GetMsg),       offsetof(PluginStartupInfo, Message),
                             offsetof(PluginStartupInfo, Dialog),       offsetof(PluginStartupInfo, Menu),
                             offsetof(PluginStartupInfo, Control),      offsetof(PluginStartupInfo, SaveScreen),
                             offsetof(PluginStartupInfo, RestoreScreen)};
  for (size_t i = 0; i < std::size(services); ++i) EXPECT_EQ(services[i], 276u + 8 * i) << i;
  EXPECT_EQ(sizeof(PluginPanelItem), 366u);
  EXPECT_EQ(sizeof(WIN32_FIND_DATA), 318u);
  EXPECT_EQ(sizeof(FarMenuItem), 140u);
  EXPECT_EQ(offsetof(FarDialogItem, Selected), 24u);
  EXPECT_EQ(offsetof(FarDialogItem, Data), 40u);
  EXPECT_EQ(sizeof(FarDialogItem::Data), 512u);
  EXPECT_EQ(sizeof(InfoPanelLine), 164u);
  EXPECT_EQ(sizeof(KeyBarTitles) / sizeof(char*), 48u);
}

TEST(HostServices, ScriptsAreStrictOrLenientAndScreensBalance) {
  host::Host h;
  host::Recorder log;
  h.SetObserver(&log);
  PluginExports none;
  ASSERT_TRUE(h.Attach(none, "/nowhere/Plug.so"));
  h.Start();
  const PluginStartupInfo& info = h.startupInfo();
  const char* lines[] = {"Title", "line", "Yes", "No"};

  host::ScriptedResponder strict(true);
  h.SetResponder(&strict);
  strict.Push(host::Answer::Button(1));
  EXPECT_EQ(info.Message(info.ModuleNumber, 9, nullptr, lines, 4, 2), 1);
  EXPECT_EQ(info.Message(info.ModuleNumber, 9, nullptr, lines, 4, 2), -1);  // not scripted
  ASSERT_EQ(strict.failures().size(), 1u);
  EXPECT_EQ(info.Message(info.ModuleNumber, 0, nullptr, lines, 2, 0), -1);  // no buttons: no answer
  EXPECT_EQ(strict.failures().size(), 1u);

  host::ScriptedResponder lenient(false);
  h.SetResponder(&lenient);
  EXPECT_EQ(info.Message(info.ModuleNumber, 0, nullptr, lines, 4, 2), 0);
  FarMenuItem menu[2] = {};
  menu[1].Selected = 1;
  EXPECT_EQ(info.Menu(info.ModuleNumber, -1, -1, 0, 4, "T", nullptr, nullptr, nullptr, nullptr, menu, 2), 1);
  EXPECT_TRUE(lenient.failures().empty());
  ASSERT_EQ(log.messages.size(), 4u);
  EXPECT_EQ(log.messages[0].lines, (std::vector<std::string>{"Title", "line", "Yes", "No"}));
  EXPECT_EQ(log.messages[0].flags, 9u);

  void* screen = info.SaveScreen(0, 0, -1, -1);
  EXPECT_FALSE(h.ScreenBalanced());
  info.RestoreScreen(screen);
  EXPECT_TRUE(h.ScreenBalanced());
  info.RestoreScreen(screen);  // twice
  EXPECT_FALSE(h.ScreenBalanced());
  EXPECT_STREQ(info.GetMsg(info.ModuleNumber, 3), "");  // no language file
  EXPECT_STREQ(info.GetMsg(info.ModuleNumber + 1, 3), "");
}

TEST(HostServices, PanelStateAndUpdatesReachThePlugin) {
  host::Host h;
  host::Recorder log;
  h.SetObserver(&log);
  ASSERT_TRUE(h.Attach(PluginExports{}, "/nowhere/Plug.so"));
  h.Start();
  const PluginStartupInfo& info = h.startupInfo();
  h.panelItems.resize(3);
  for (int i = 0; i < 3; ++i) h.panelItems[i].FindData.cFileName[0] = static_cast<char>('a' + i);
  h.panelCurrent = 1;
  PanelInfo pi{};
  ASSERT_EQ(info.Control(kNoPanel, FCTL_GETPANELINFO, &pi), 1);
  EXPECT_EQ(pi.ItemsNumber, 3);
  EXPECT_EQ(pi.CurrentItem, 1);
  ASSERT_EQ(pi.SelectedItemsNumber, 1);  // nothing selected: the current item
  EXPECT_EQ(pi.SelectedItems[0].FindData.cFileName[0], 'b');
  h.panelSelection = {2, 0};
  ASSERT_EQ(info.Control(kNoPanel, FCTL_GETPANELINFO, &pi), 1);
  ASSERT_EQ(pi.SelectedItemsNumber, 2);
  EXPECT_EQ(pi.SelectedItems[0].FindData.cFileName[0], 'c');
  EXPECT_EQ(pi.SelectedItems[1].FindData.cFileName[0], 'a');
  EXPECT_EQ(info.Control(kNoPanel, FCTL_UPDATEPANEL, reinterpret_cast<void*>(1)), 1);
  EXPECT_EQ(info.Control(kNoPanel, FCTL_REDRAWPANEL, nullptr), 1);
  EXPECT_EQ(info.Control(kNoPanel, 99, nullptr), 0);
  EXPECT_EQ(log.updateRequests, 1);
  EXPECT_EQ(log.redrawRequests, 1);
  ASSERT_EQ(log.controls.size(), 5u);
  EXPECT_EQ(log.controls[2].param, 1);
}

int g_offeredBytes = -1;
void* DeclineFile(const char*, const unsigned char*, int size) {
  g_offeredBytes = size;
  return kNoPanel;
}

TEST(HostServices, LanguageFileLinesItCannotReadAndPipesOfferedAsImagesAreSkipped) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "Plug.en.lng",
                         "# comment\n5=five\n99999999999999999999=huge\n-1=neg\n=none\nx=y\n7\n8=a=b\r\n");
  host::Host h;
  PluginExports e;
  e.OpenFilePlugin = &DeclineFile;
  ASSERT_TRUE(h.Attach(e, dir / "Plug.so"));
  EXPECT_EQ(h.language().size(), 2u);
  EXPECT_STREQ(h.language().Text(5), "five");
  EXPECT_STREQ(h.language().Text(8), "a=b");
  // A pipe is offered without first bytes, and offering it does not block.
  ASSERT_EQ(mkfifo((dir / "pipe.img").c_str(), 0600), 0);
  EXPECT_FALSE(h.OpenFile(dir / "pipe.img"));
  EXPECT_EQ(g_offeredBytes, 0);
  testsupport::WriteFile(dir / "file.img", "12345");
  EXPECT_FALSE(h.OpenFile(dir / "file.img"));
  EXPECT_EQ(g_offeredBytes, 5);
}

TEST(HostDisplay, Utf8StaysAndOtherBytesAreReadAsCp866) {
  struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"plain.txt", "plain.txt"},
      {"\xd0\x9f\xd1\x80\xd0\xb8", "\xd0\x9f\xd1\x80\xd0\xb8"},  // UTF-8 "При" stays
      {"\x8f\xe0\xa8.txt", "\xd0\x9f\xd1\x80\xd0\xb8.txt"},      // CP866 "При"
      {"\xf0\xc4", "\xd0\x81\xe2\x94\x80"},                      // Ё and a box line
      {"\xc0\x80", "\xe2\x94\x94\xd0\x90"},                      // overlong form: not UTF-8
      {"a\x1b[31mb\x07.t\x7f", "a?[31mb?.t?"},                   // controls steer no terminal
      {"x\xc2\x9b"
       "1m\xc2\xa0",
       "x?1m\xc2\xa0"},           // nor does a C1 control
      {"\x9b\x1b", "\xd0\xab?"},  // CP866: Ы and a control
  };
  for (const auto& c : cases) EXPECT_EQ(host::DisplayText(c.in), c.out) << c.in;
}

}  // namespace
