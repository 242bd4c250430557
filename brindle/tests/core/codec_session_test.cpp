// The PC formats through the session: refusals and damage change nothing, saves write
// files with the usual mode and leave picture and screen memory alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/error.h"
#include "core/session.h"
#include "support/codec_fixtures.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

class CodecSessionTest : public testing::Test {
 protected:
  void SetUp() override {
    Pic pic;
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) pic.setPixel(x, y, (x / 16 + y / 16) % 16);
    Mem mem;
    for (std::size_t i = 0; i < 0x8000; ++i) mem.bytes[i] = static_cast<std::uint8_t>(i * 7);
    DIB4bpp2VECScr(pic, mem);
    test::WriteBytes(dir / "a.spr", test::SprFileFor(mem));
    ASSERT_TRUE(s.OpenChosen(dir / "a.spr"));
  }
  test::TempDir dir;
  Session s;
};

TEST_F(CodecSessionTest, RefusedAndDamagedFilesChangeNothing) {
  const auto one = [](int, int) { return 1; };
  struct Case {
    const char* name;
    test::Bytes file;
    bool rejection;
  };
  test::Bytes damagedBmp = test::MakeBmp({.width = 200, .height = 100}, one);
  damagedBmp.resize(damagedBmp.size() - 1);
  test::Bytes cutPng = test::MakePng({}, one);
  cutPng.resize(cutPng.size() / 2);
  const Case cases[] = {
      {"b1.bmp", test::MakeBmp({.bits = 8}, one), true},
      {"b2.bmp", damagedBmp, false},
      {"c1.gif", test::MakeGif({.globalBits = 8}, one), true},
      {"c2.gif", test::Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 2}, false},
      {"d1.pcx", test::MakePcx({.bits = 8}, one), true},
      {"d2.pcx", test::MakePng({}, one), true},
      {"e1.png", test::MakePng({.depth = 8, .entries = 17}, one), true},
      {"e2.png", cutPng, false},
      {"e3.png", test::Bytes{'n', 'o', 't'}, false},
  };
  for (const Case& c : cases) test::WriteBytes(dir / c.name, c.file);
  fs::create_directory(dir / "f.png");  // a folder with a picture's name is not listed
  ASSERT_TRUE(s.OpenChosen(dir / "a.spr"));
  ASSERT_EQ(s.PicFiles.size(), 10u);
  const Pic pic = s.pic;
  const Mem mem = s.mem;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.rejection)
      EXPECT_THROW(s.Step(+1), Rejection);
    else {
      try {
        s.Step(+1);
        ADD_FAILURE() << "opened";
      } catch (const Rejection& e) {
        ADD_FAILURE() << "refused instead of reported: " << e.what();
      } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(c.name), std::string::npos) << e.what();
      }
    }
    EXPECT_EQ(s.PicFiles[static_cast<std::size_t>(s.PicIndex)], c.name);
    EXPECT_TRUE(s.pic == pic);
    EXPECT_TRUE(s.mem == mem);
    EXPECT_EQ(s.Caption, c.name + std::string("   ") + std::to_string(s.PicIndex + 1) + "/10");
    EXPECT_EQ(s.PicFileName, "a.spr");
  }
}

TEST_F(CodecSessionTest, FoldersPipesAndMissingFilesAreErrors) {
  fs::create_directory(dir / "folder.png");
  ASSERT_EQ(mkfifo((dir / "pipe.gif").c_str(), 0600), 0);
  const Pic pic = s.pic;
  for (const char* name : {"folder.png", "pipe.gif", "missing.bmp", "missing.pcx"}) {
    SCOPED_TRACE(name);
    try {
      s.OpenPicFile(dir / name);
      ADD_FAILURE() << "opened";
    } catch (const Rejection& e) {
      ADD_FAILURE() << "refused instead of reported: " << e.what();
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
    EXPECT_TRUE(s.pic == pic);
  }
}

TEST_F(CodecSessionTest, OpeningLeavesTheScreenMemoryAlone) {
  const auto pattern = [](int x, int y) { return (x + 2 * y) % 16; };
  test::WriteBytes(dir / "b.bmp", test::MakeBmp({.width = 20, .height = 10}, pattern));
  test::WriteBytes(dir / "c.gif", test::MakeGif({}, pattern));
  test::WriteBytes(dir / "d.pcx", test::MakePcx({}, pattern));
  test::WriteBytes(dir / "e.png", test::MakePng({}, pattern));
  ASSERT_TRUE(s.OpenChosen(dir / "a.spr"));
  const Mem mem = s.mem;
  for (const char* name : {"b.bmp", "c.gif", "d.pcx", "e.png"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(s.Step(+1));
    EXPECT_EQ(s.PicFileName, name);
    EXPECT_EQ(s.pic.pixel(3, 5), pattern(3, 5));
    EXPECT_EQ(s.pic.pixel(100, 100), 0);
    EXPECT_TRUE(s.mem == mem);
  }
}

TEST_F(CodecSessionTest, SavesKeepPictureAndMemoryAndTheUsualMode) {
  s.pic.palette[2] = Rgb{71, 133, 254};  // not a VEC colour: must not be reduced
  const Pic pic = s.pic;
  const Mem mem = s.mem;
  s.SaveAs(dir / "out", 1);
  s.SaveAs(dir / "out", 4);
  s.SaveAs(dir / "out", 5);
  EXPECT_TRUE(s.pic == pic);
  EXPECT_TRUE(s.mem == mem);
  EXPECT_EQ(s.Caption, "Brindle - out.png");
  EXPECT_EQ(s.SaveFilterIndex, 5);
  struct stat bmp {
  }, gif{}, png{};
  ASSERT_EQ(stat((dir / "out.bmp").c_str(), &bmp), 0);
  ASSERT_EQ(stat((dir / "out.gif").c_str(), &gif), 0);
  ASSERT_EQ(stat((dir / "out.png").c_str(), &png), 0);
  EXPECT_EQ(gif.st_mode, bmp.st_mode);
  EXPECT_EQ(png.st_mode, bmp.st_mode);
}

TEST_F(CodecSessionTest, FailedSavesLeaveEverythingAsItWas) {
  const Pic pic = s.pic;
  test::WriteText(dir / "old.gif", "old gif");
  test::WriteText(dir / "old.png", "old png");
  fs::create_directory(dir / "taken.gif");
  fs::create_directory(dir / "taken.png");
  for (int index : {4, 5}) {
    SCOPED_TRACE(index);
    EXPECT_THROW(s.SaveAs(dir / "missing" / "old", index), Error);
    EXPECT_THROW(s.SaveAs(dir / "taken", index), Error);
  }
  EXPECT_TRUE(fs::is_directory(dir / "taken.gif"));
  EXPECT_TRUE(fs::is_directory(dir / "taken.png"));
  EXPECT_EQ(test::ReadBytes(dir / "old.gif"), (test::Bytes{'o', 'l', 'd', ' ', 'g', 'i', 'f'}));
  EXPECT_EQ(test::ReadBytes(dir / "old.png"), (test::Bytes{'o', 'l', 'd', ' ', 'p', 'n', 'g'}));
  EXPECT_TRUE(s.pic == pic);
  EXPECT_EQ(s.Caption, "a.spr   1/1");
  EXPECT_EQ(s.SaveFilterIndex, 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 5) << "no temporary files left";
}

}  // namespace
}  // namespace brindle
