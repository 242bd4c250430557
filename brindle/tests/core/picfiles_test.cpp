#include <gtest/gtest.h>

#include "core/picfiles.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

TEST(PicNames, ExtensionTableIsCaseSensitive) {
  struct Case {
    const char* name;
    PicFormat format;
  };
  const Case cases[] = {
      {"a.spr", PicFormat::SPR},     {"a.SPR", PicFormat::SPR}, {"a.Spr", PicFormat::None},
      {"a.bmp", PicFormat::BMP},     {"a.BMP", PicFormat::BMP}, {"a.scr", PicFormat::SCR},
      {"a.SCR", PicFormat::SCR},     {"a.rmb", PicFormat::RMB}, {"a.RMB", PicFormat::RMB},
      {"a.rbr", PicFormat::RMB},     {"a.RBR", PicFormat::RMB}, {"a.gif", PicFormat::GIF},
      {"a.GIF", PicFormat::GIF},     {"a.pcx", PicFormat::PCX}, {"a.PCX", PicFormat::PCX},
      {"a.png", PicFormat::PNG},     {"d.PNG", PicFormat::PNG}, {"c.txt", PicFormat::None},
      {"ascr", PicFormat::None},     {"spr", PicFormat::None},  {"x.spr.txt", PicFormat::None},
      {"x.txt.spr", PicFormat::SPR}, {".spr", PicFormat::SPR},  {"dir.spr/name", PicFormat::None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatOfName(c.name), c.format) << c.name;
    EXPECT_EQ(IsPicFile(c.name), c.format != PicFormat::None) << c.name;
  }
}

TEST(PicNames, SaveNames) {
  EXPECT_EQ(WithExtension("name.txt", ".spr"), "name.spr");
  EXPECT_EQ(WithExtension("name", ".bmp"), "name.bmp");
  EXPECT_EQ(WithExtension("/a.b/name", ".bmp"), "/a.b/name.bmp");
  EXPECT_EQ(WithExtension("/x/a.b.c", ".png"), "/x/a.b.png");
  EXPECT_EQ(ProposedSaveName("pic.spr"), "pic");
  EXPECT_EQ(ProposedSaveName("/some/folder/pic.bmp"), "pic");
  EXPECT_EQ(ProposedSaveName(""), "");
  EXPECT_EQ(PicTitle("pic.spr", 2, 12), "pic.spr   3/12");
}

TEST(PicNames, WrapIndexAtBothEnds) {
  EXPECT_EQ(WrapIndex(0, -1, 3), 2);
  EXPECT_EQ(WrapIndex(2, +1, 3), 0);
  EXPECT_EQ(WrapIndex(1, +1, 3), 2);
  EXPECT_EQ(WrapIndex(0, +1, 1), 0);
  EXPECT_EQ(WrapIndex(5, +1, 0), 0);
}

TEST(PicNames, FolderListIsSortedAndSkipsHiddenAndOtherFiles) {
  test::TempDir dir;
  for (const char* name : {"d.PNG", "c.txt", "b.spr", "a.bmp", "B.SPR", ".hidden.spr", "x.Spr", "noext", "pic.scr"})
    test::WriteText(dir / name, "x");
  std::filesystem::create_directory(dir / "folder.spr");
  std::filesystem::create_symlink(dir / "b.spr", dir / "link.spr");
  std::filesystem::create_symlink(dir / "missing", dir / "dangling.spr");
  EXPECT_EQ(ListPicFiles(dir.path()),
            (std::vector<std::string>{"a.bmp", "B.SPR", "b.spr", "d.PNG", "link.spr", "pic.scr"}));
  EXPECT_TRUE(ListPicFiles(dir / "absent").empty());
}

TEST(PicNames, FilterTexts) {
  EXPECT_EQ(OpenFilter(),
            "All supported types|*.spr;*.bmp;*scr;*.rmb;*rbr;*.gif;*.pcx;*.png|SPR|*.spr|BMP|*.bmp|SCR|*.scr|"
            "REMBRANDT|*.rmb;*.rbr|GIF|*.gif|PCX|*.pcx|PNG|*.png");
  EXPECT_EQ(SaveFilter(), "BMP|*.bmp|SPR|*.spr|RMB|*.rmb|GIF|*.gif|PNG|*.png");
}

TEST(PicNames, SaveIndexesNameTheirExtensions) {
  ASSERT_EQ(SaveFormatCount(), 5);
  const char* expected[] = {".bmp", ".spr", ".rmb", ".gif", ".png"};
  for (int i = 1; i <= 5; ++i) {
    const FormatRow* row = FormatOfSaveIndex(i);
    ASSERT_NE(row, nullptr) << i;
    EXPECT_EQ(row->extensions[0], expected[i - 1]) << i;
  }
  EXPECT_EQ(FormatOfSaveIndex(0), nullptr);
  EXPECT_EQ(FormatOfSaveIndex(6), nullptr);
}

}  // namespace
}  // namespace brindle
