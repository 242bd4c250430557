// Record layouts shared with plug-ins, and the host's own bookkeeping of boxes and screens.
#include <gtest/gtest.h>

#include <cstddef>

#include "host/host.h"

namespace {

TEST(HostRecords, FixedSizesAndOffsetsHold) {
  EXPECT_EQ(sizeof(PluginStartupInfo), 336u);
  EXPECT_EQ(offsetof(PluginStartupInfo, ModuleName), 4u);
  EXPECT_EQ(offsetof(PluginStartupInfo, ModuleNumber), 264u);
  EXPECT_EQ(offsetof(PluginStartupInfo, RootKey), 268u);
  const size_t services[] = {
      offsetof(PluginStartupInfo, GetMsg),  offsetof(PluginStartupInfo, Message),
      offsetof(PluginStartupInfo, Dialog),  offsetof(PluginStartupInfo, Menu),
      offsetof(PluginStartupInfo, Control), offsetof(PluginStartupInfo, SaveScreen),
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
  ASSERT_EQ(h.messages.size(), 4u);
  EXPECT_EQ(h.messages[0].lines, (std::vector<std::string>{"Title", "line", "Yes", "No"}));
  EXPECT_EQ(h.messages[0].flags, 9u);

  void* screen = info.SaveScreen(0, 0, -1, -1);
  EXPECT_FALSE(h.ScreenBalanced());
  info.RestoreScreen(screen);
  EXPECT_TRUE(h.ScreenBalanced());
  info.RestoreScreen(screen);  // twice
  EXPECT_FALSE(h.ScreenBalanced());
  EXPECT_STREQ(info.GetMsg(info.ModuleNumber, 3), "");  // no language file
  EXPECT_STREQ(info.GetMsg(info.ModuleNumber + 1, 3), "");
}

}  // namespace
