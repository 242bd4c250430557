// --new answers the plug-in's menu by the texts of its language file alone.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "cli/new_image.h"
#include "testsupport/temp_dir.h"

namespace {

// Answers whatever reaches it with Esc and counts it.
struct Others : host::Responder {
  int asked = 0;
  int OnMessage(const host::MessageCall&) override { return ++asked, -1; }
  int OnDialog(const host::DialogCall&, FarDialogItem*, int) override { return ++asked, -1; }
  int OnMenu(const host::MenuCall&) override { return ++asked, -1; }
};

class NewImage : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(dir.File("P.en.lng")) << "21=Pick a format\n34=Make one\n36=Change the format\n38=Called:\n";
    ASSERT_TRUE(texts.Load(dir.File("P.en.lng")));
  }
  static host::MenuCall Chooser() {
    host::MenuCall m;
    m.title = "Pick a format";
    m.items = {{"1 Other format", 0, 0, 0}, {"2 HDD for MicroDOS", 0, 0, 0}};
    return m;
  }
  // The menu with its items anywhere: the host goes by their texts, not their places.
  static host::MenuCall Global() {
    host::MenuCall m;
    m.title = "Images (default: x)";
    m.items = {{"Unsupported", 0, 0, 0}, {"Change the format", 0, 0, 0}, {"", 0, 0, 1}, {"Make one", 1, 0, 0}};
    return m;
  }
  // The name dialog: a box, the prompt and an edit line, no buttons.
  struct NameDialog {
    FarDialogItem items[3]{};
    explicit NameDialog(const char* prompt = "Called:") {
      items[0].Type = DI_DOUBLEBOX;
      items[1].Type = DI_TEXT;
      std::strcpy(items[1].Data, prompt);
      items[2].Type = DI_EDIT;
      items[2].DefaultButton = 1;
    }
  };
  testsupport::TempDir dir;
  host::LanguageFile texts;
  Others others;
  std::ostringstream reports;
};

TEST_F(NewImage, AFormatWantedGoesThroughTheChooserItemFirst) {
  cli::NewImageResponder r(texts, "disk1", "hdd FOR microdos", others, reports);
  EXPECT_EQ(r.OnMenu(Global()), 1);   // the default-format item
  EXPECT_EQ(r.OnMenu(Chooser()), 1);  // the format, in any case, after its hot-key label
  EXPECT_EQ(r.OnMenu(Global()), 3);   // then the new-image item
  NameDialog d;
  EXPECT_EQ(r.OnDialog({}, d.items, 3), 2);
  EXPECT_STREQ(d.items[2].Data, "disk1");
  EXPECT_TRUE(r.named);
  EXPECT_FALSE(r.failed);
  EXPECT_EQ(others.asked, 0);
}

TEST_F(NewImage, WithoutAFormatTheFirstAndTheStoredDefaultAsTheyAre) {
  cli::NewImageResponder first(texts, "a", "", others, reports);
  EXPECT_EQ(first.OnMenu(Chooser()), 0);
  EXPECT_EQ(first.OnMenu(Global()), 3);
  cli::NewImageResponder stored(texts, "a", "", others, reports);
  EXPECT_EQ(stored.OnMenu(Global()), 3);
  EXPECT_FALSE(first.failed || stored.failed);
}

TEST_F(NewImage, AnythingElseGoesToTheOthersAndFails) {
  struct Case {
    const char* what;
    const char* format;
    std::function<void(cli::NewImageResponder&)> steps;
    int asked;
  };
  const Case cases[] = {
      {"an unknown format", "No such format", [](cli::NewImageResponder& r) { EXPECT_EQ(r.OnMenu(Chooser()), -1); }, 0},
      {"a message box", "", [](cli::NewImageResponder& r) { r.OnMessage({}); }, 1},
      {"the menu a third time", "",
       [](cli::NewImageResponder& r) {
         r.OnMenu(Global());
         r.OnMenu(Global());
         r.OnMenu(Global());
       },
       1},
      {"a dialog without the prompt", "",
       [](cli::NewImageResponder& r) {
         NameDialog d("Something else:");
         r.OnDialog({}, d.items, 3);
       },
       1},
      {"a menu without the items", "",
       [](cli::NewImageResponder& r) {
         host::MenuCall m = Global();
         m.items[3].text = "Renamed";
         r.OnMenu(m);
       },
       1},
  };
  for (const Case& c : cases) {
    Others o;
    cli::NewImageResponder r(texts, "a", c.format, o, reports);
    c.steps(r);
    EXPECT_TRUE(r.failed) << c.what;
    EXPECT_FALSE(r.named) << c.what;
    EXPECT_EQ(o.asked, c.asked) << c.what;
  }
  EXPECT_NE(reports.str().find("no format module has the format \"No such format\""), std::string::npos);
}

}  // namespace
