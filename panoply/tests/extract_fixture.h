// The fixture of the tests that copy, move, view and delete items of an image panel: a
// fake format module over five items that records every call (and the current directory
// during it).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "module_fixture.h"

namespace {

namespace fs = std::filesystem;

class ExtractTest : public PanelTest {
 protected:
  // A panel over the fake's items: two files, a folder with a file, a third file.
  void OpenPanel(std::vector<PluginPanelItem> items = {}) {
    extraTexts = "22=copy %s\n23=copy %d\n24=move %s\n25=move %d\n";
    f = StartWithAcceptingModule();
    ASSERT_NE(f, nullptr);
    f->items = items.empty() ? std::vector<PluginPanelItem>{FakeItem("A.TXT", 10), FakeItem("B.TXT", 20),
                                                            FakeItem("DIR", 0, FILE_ATTRIBUTE_DIRECTORY),
                                                            FakeItem("DIR\\IN.TXT", 5), FakeItem("C.TXT", 30)}
                             : items;
    ASSERT_TRUE(h->OpenFile(Image("x.img")));
    ASSERT_TRUE(h->ReadPanel());
    f->calls.clear();
    out = dir / "out";
  }
  // The panel index of a name.
  int At(const std::string& name) const {
    for (size_t i = 0; i < h->panelItems.size(); ++i)
      if (name == h->panelItems[i].FindData.cFileName) return static_cast<int>(i);
    ADD_FAILURE() << "no item " << name;
    return -1;
  }
  std::vector<const FakeCall*> Calls(const std::string& entry) const {
    std::vector<const FakeCall*> out;
    for (const auto& c : f->calls)
      if (c.entry == entry) out.push_back(&c);
    return out;
  }
  // Each box as its message line ("m40") and the line after it (a name or a path).
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& m : log.messages) out.push_back(m.lines.size() > 2 ? m.lines[1] + " " + m.lines[2] : m.lines[1]);
    return out;
  }
  void TearDown() override {
    const std::vector<std::string> errors = h->TakeCallErrors();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_TRUE(h->ScreenBalanced()) << (h->serviceErrors().empty() ? "" : h->serviceErrors().front());
    EXPECT_EQ(script.pending(), 0u);
    // Warning boxes take no queued answer (Esc closes them); questions are answered.
    unsetenv("DESKTOOLS_FAULTS");
    PanelTest::TearDown();
  }
  FakeModuleState* f = nullptr;
  fs::path out;
};

}  // namespace
