#include <gtest/gtest.h>

#include "core/bmp.h"
#include "core/error.h"
#include "core/rmb.h"
#include "core/session.h"
#include "support/fixtures.h"
#include "support/scr_files.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

class SessionTest : public testing::Test {
 protected:
  // A valid SPR file whose screen is one colour (index), so pictures tell apart.
  void WriteSpr(const fs::path& file, int index) {
    Pic pic;
    pic.pixels.fill(static_cast<std::uint8_t>(index * 0x11));
    Mem mem;
    DIB4bpp2VECScr(pic, mem);
    test::WriteBytes(file, test::SprFileFor(mem));
  }
  int ShownIndex() const { return s.pic.pixel(10, 10); }
  const Levels& levels() const { return s.levels; }

  test::TempDir dir;
  Session s;
};

TEST_F(SessionTest, OpenListsTheFolderAndShowsThePlace) {
  test::WriteText(dir / "a.bmp", "x");
  WriteSpr(dir / "b.spr", 5);
  test::WriteText(dir / "c.txt", "x");
  test::WriteText(dir / "d.PNG", "x");
  ASSERT_TRUE(s.OpenChosen(dir / "b.spr"));
  EXPECT_TRUE(s.PicLoaded);
  EXPECT_EQ(s.PicFiles, (std::vector<std::string>{"a.bmp", "b.spr", "d.PNG"}));
  EXPECT_EQ(s.PicIndex, 1);
  EXPECT_EQ(s.PicFileName, "b.spr");
  EXPECT_EQ(s.Caption, "b.spr   2/3");
  EXPECT_EQ(ShownIndex(), 5);
}

TEST_F(SessionTest, NameWithoutReaderChangesNothing) {
  WriteSpr(dir / "x.Spr", 5);
  EXPECT_FALSE(s.OpenChosen(dir / "x.Spr"));
  EXPECT_FALSE(s.PicLoaded);
  EXPECT_TRUE(s.PicFiles.empty());
  EXPECT_EQ(s.Caption, "Brindle");
}

TEST_F(SessionTest, FailedOpenKeepsNameCaptionAndList) {
  WriteSpr(dir / "a.spr", 1);
  test::WriteBytes(dir / "b.spr", std::vector<std::uint8_t>(640, 0));
  ASSERT_TRUE(s.OpenChosen(dir / "a.spr"));
  test::TempDir other;
  test::WriteBytes(other / "bad.spr", {1, 2, 3});
  EXPECT_THROW(s.OpenChosen(other / "bad.spr"), Error);
  EXPECT_EQ(s.PicFileName, "a.spr");
  EXPECT_EQ(s.Caption, "a.spr   1/2");
  EXPECT_EQ(s.PicFolder, dir.path());
  EXPECT_EQ(ShownIndex(), 1);
}

TEST_F(SessionTest, SteppingWrapsAtBothEnds) {
  WriteSpr(dir / "a.spr", 1);
  WriteSpr(dir / "b.spr", 2);
  WriteSpr(dir / "c.spr", 3);
  ASSERT_TRUE(s.OpenChosen(dir / "c.spr"));
  EXPECT_TRUE(s.Step(+1));
  EXPECT_EQ(s.Caption, "a.spr   1/3");
  EXPECT_EQ(ShownIndex(), 1);
  EXPECT_TRUE(s.Step(-1));
  EXPECT_EQ(s.Caption, "c.spr   3/3");
  EXPECT_EQ(ShownIndex(), 3);
  EXPECT_TRUE(s.Step(-1));
  EXPECT_EQ(s.PicFileName, "b.spr");
}

TEST_F(SessionTest, SteppingGoesThroughEveryNativeFormat) {
  WriteSpr(dir / "a.spr", 1);
  test::ZxScreen zx;
  for (int cr = 0; cr < 24; ++cr)
    for (int col = 0; col < 32; ++col) zx.attr(cr, col) = 0x32;  // red ink (2) on yellow paper (6)
  zx.bits(10, 1) = 0x80;
  test::WriteBytes(dir / "b.scr", zx.file());
  Pic rmb;
  rmb.pixels.fill(0x99);
  rmb.setPixel(10, 10, 4);
  for (std::size_t i = 0; i < 16; ++i) rmb.palette[i] = VecByteToRgb(static_cast<std::uint8_t>(i * 9), levels());
  Mem scratch;
  SaveRMB(dir / "c.rmb", rmb, scratch, levels());

  ASSERT_TRUE(s.OpenChosen(dir / "a.spr"));
  EXPECT_TRUE(s.Step(+1));
  EXPECT_EQ(s.Caption, "b.scr   2/3");
  EXPECT_EQ(s.pic.pixel(8, 10), 2) << "red ink";
  EXPECT_EQ(s.pic.pixel(9, 10), 6) << "yellow paper";
  EXPECT_EQ(s.pic.pixel(9, 200), 0) << "below the ZX screen";
  EXPECT_TRUE(s.Step(+1));
  EXPECT_EQ(s.Caption, "c.rmb   3/3");
  EXPECT_EQ(s.pic.pixel(10, 10), 4);
  EXPECT_EQ(s.pic.pixel(11, 10), 9);
  EXPECT_EQ(s.pic.palette[9], VecByteToRgb(81, levels()));
  EXPECT_TRUE(s.Step(+1));
  EXPECT_EQ(ShownIndex(), 1);
}

TEST_F(SessionTest, SteppingMovesPastAFileThatFails) {
  WriteSpr(dir / "a.spr", 1);
  test::WriteBytes(dir / "b.spr", std::vector<std::uint8_t>(640, 0));
  WriteSpr(dir / "c.spr", 3);
  ASSERT_TRUE(s.OpenChosen(dir / "a.spr"));
  EXPECT_THROW(s.Step(+1), Error);
  EXPECT_EQ(s.PicIndex, 1);
  // The caption says where Left and Right go on from; the name stays the picture shown.
  EXPECT_EQ(s.PicFileName, "a.spr");
  EXPECT_EQ(s.Caption, "b.spr   2/3");
  EXPECT_EQ(ShownIndex(), 1);
  EXPECT_TRUE(s.Step(+1));
  EXPECT_EQ(s.Caption, "c.spr   3/3");
  EXPECT_THROW(s.Step(-1), Error);
  EXPECT_EQ(s.Caption, "b.spr   2/3");
  EXPECT_EQ(s.PicFileName, "c.spr");
  EXPECT_TRUE(s.Step(-1));
  EXPECT_EQ(s.Caption, "a.spr   1/3");
}

TEST_F(SessionTest, StepDoesNothingWithoutAList) {
  EXPECT_FALSE(s.Step(+1));
  EXPECT_EQ(s.PicIndex, 0);
}

TEST_F(SessionTest, OpenedFileOutsideTheListTakesPlaceZero) {
  WriteSpr(dir / ".hidden.spr", 4);
  ASSERT_TRUE(s.OpenChosen(dir / ".hidden.spr"));
  EXPECT_TRUE(s.PicFiles.empty());
  EXPECT_EQ(s.PicIndex, 0);
  EXPECT_FALSE(s.Step(+1));

  WriteSpr(dir / "a.spr", 1);
  WriteSpr(dir / "b.spr", 2);
  ASSERT_TRUE(s.OpenChosen(dir / "b.spr"));
  ASSERT_TRUE(s.OpenChosen(dir / ".hidden.spr"));
  EXPECT_EQ(s.PicFiles.size(), 2u);
  EXPECT_EQ(s.PicIndex, 0);
}

TEST_F(SessionTest, SaveGivesTheFormatsExtensionAndKeepsTheListFolder) {
  WriteSpr(dir / "a.spr", 1);
  WriteSpr(dir / "b.spr", 2);
  ASSERT_TRUE(s.OpenChosen(dir / "a.spr"));
  EXPECT_EQ(ProposedSaveName(s.PicFileName), "a");
  test::TempDir other;
  WriteSpr(other / "b.spr", 9);

  const fs::path written = s.SaveAs(other / "name.txt", 2);
  EXPECT_EQ(written, other / "name.spr");
  EXPECT_TRUE(fs::exists(other / "name.spr"));
  EXPECT_FALSE(fs::exists(other / "name.txt"));
  EXPECT_EQ(s.PicFileName, (other / "name.spr").string());
  EXPECT_EQ(s.Caption, "Brindle - name.spr");
  EXPECT_EQ(s.SaveFilterIndex, 2);
  EXPECT_EQ(ProposedSaveName(s.PicFileName), "name");

  s.SaveAs(other / "pic", 1);
  EXPECT_EQ(s.Caption, "Brindle - pic.bmp");
  EXPECT_EQ(s.SaveFilterIndex, 1);

  EXPECT_EQ(s.SaveAs(other / "name.txt", 3), other / "name.rmb");
  EXPECT_EQ(s.Caption, "Brindle - name.rmb");
  EXPECT_EQ(s.SaveFilterIndex, 3);
  EXPECT_EQ(fs::file_size(other / "name.rmb"), 32787u);

  EXPECT_TRUE(s.Step(+1));
  EXPECT_EQ(ShownIndex(), 2) << "stepping stays in the folder the list was read from";
}

TEST_F(SessionTest, FailedSaveChangesNothing) {
  WriteSpr(dir / "a.spr", 1);
  ASSERT_TRUE(s.OpenChosen(dir / "a.spr"));
  s.pic.palette[1] = {70, 135, 255};
  const Pic before = s.pic;
  fs::create_directory(dir / "taken.bmp");
  EXPECT_THROW(s.SaveAs(dir / "taken", 1), Error);
  EXPECT_THROW(s.SaveAs(dir / "absent" / "x", 2), Error);
  EXPECT_THROW(s.SaveAs(dir / "absent" / "later", 3), Error) << "RMB into a missing folder";
  EXPECT_THROW(s.SaveAs(dir / "later", 6), Error);
  EXPECT_FALSE(fs::exists(dir / "later.rmb"));
  EXPECT_EQ(s.Caption, "a.spr   1/1");
  EXPECT_EQ(s.PicFileName, "a.spr");
  EXPECT_EQ(s.SaveFilterIndex, 1);
  EXPECT_TRUE(s.pic == before);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2) << "no temporary files left";
}

TEST_F(SessionTest, SavedBmpIsA4BitPictureOfPic) {
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) s.pic.setPixel(x, y, (x / 16 + y) % 16);
  for (int i = 0; i < 16; ++i)
    s.pic.palette[static_cast<std::size_t>(i)] =
        Rgb{static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i), 7};
  s.SaveAs(dir / "pic.spr", 1);
  const auto bmp = test::ReadBytes(dir / "pic.bmp");
  ASSERT_EQ(bmp.size(), 32886u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(bmp[10], 118);
  EXPECT_EQ(bmp[14], 40);
  EXPECT_EQ(bmp[28], 4) << "bits per pixel";
  EXPECT_EQ(bmp[54 + 4 * 5 + 0], 7);    // blue
  EXPECT_EQ(bmp[54 + 4 * 5 + 1], 250);  // green
  EXPECT_EQ(bmp[54 + 4 * 5 + 2], 80);   // red
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; x += 37) {
      const std::uint8_t b = bmp[118 + static_cast<std::size_t>((255 - y) * 128 + x / 2)];
      ASSERT_EQ((x % 2 == 0) ? (b >> 4) : (b & 15), s.pic.pixel(x, y)) << x << "," << y;
    }
}

}  // namespace
}  // namespace brindle
