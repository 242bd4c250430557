#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "core/open_command.h"
#include "core/plot_reader.h"
#include "testsupport/temp_dir.h"

namespace quarto {
namespace {

namespace fs = std::filesystem;

TEST(ShellWindowArgument, PiecesAndDefaults) {
  struct Case {
    const char* arg;
    ViewWindowBox expected;  // x1, x2, y1, y2
    WindowDefaults defaults{};
  };
  const Case cases[] = {
      {"@-50:-30_50:30", {-50, 50, -30, 30}},
      {"@100:200", {100, 0, 0, 200}},
      {"@", {0, 0, 0, 0}},
      {"@1:2_3", {1, 0, 2, 3}},
      {"@a:b_c:d", {0, 0, 0, 0}},
      {"@:_:", {0, 0, 0, 0}},
      {"@+7:8_9:10", {7, 9, 8, 10}},
      {"@99999999999:1_2:3", {0, 2, 1, 3}},
      {"@1:2_3:4:5", {1, 3, 2, 0}},
      // Missing pieces take the given defaults (the header box's extents).
      {"@100:200", {100, 10, -20, 200}, {-10, 10, -20, 20}},
      {"@a:b_c:d", {-10, 10, -20, 20}, {-10, 10, -20, 20}},
  };
  for (const Case& c : cases) {
    std::optional<ViewWindowBox> w = ParseWindowArgument(c.arg, c.defaults);
    ASSERT_TRUE(w.has_value()) << c.arg;
    EXPECT_EQ(*w, c.expected) << c.arg;
  }
}

TEST(ShellWindowArgument, AnArgumentWithoutAtIsNoWindow) {
  for (const char* arg : {"", "-50:-30_50:30", "b.plt", " @1:2_3:4"})
    EXPECT_FALSE(ParseWindowArgument(arg, {}).has_value()) << arg;
}

// A relative path is made absolute against the current folder without resolving links.
TEST(ShellFileName, PathsAreMadeAbsoluteWithoutResolvingLinks) {
  const std::string cwd = fs::current_path().string();
  const std::pair<std::string, std::string> cases[] = {
      {"a.plt", cwd + "/a.plt"},
      {"./sub//a.plt", cwd + "/sub/a.plt"},
      {"../up/a.plt", cwd + "/../up/a.plt"},  // ".." kept: the folder may be a link
      {"/abs/./x/a.plt", "/abs/x/a.plt"},
      {"/abs/link/../a.plt", "/abs/link/../a.plt"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(AbsolutePlotPath(in), out) << in;
}

TEST(ShellFileName, FolderIsCut) {
  EXPECT_EQ(FileNameWithoutFolder("/tmp/x/a.plt"), "a.plt");
  EXPECT_EQ(FileNameWithoutFolder("C:\\plots\\a.plt"), "a.plt");
  EXPECT_EQ(FileNameWithoutFolder("a.plt"), "a.plt");
}

// Records what the open asks of the window.
struct FakeHost : OpenHost {
  std::optional<std::string> dialogAnswer;
  int dialogRuns = 0;
  std::string fileName;
  RecentList shownRecent{};
  std::vector<PltFormat> scans;
  bool scanThrows = false;
  int unknownMessages = 0;
  int centreChecks = 0;

  std::optional<std::string> RunOpenDialog() override {
    ++dialogRuns;
    return dialogAnswer;
  }
  void ShowFileName(const std::string& name) override { fileName = name; }
  void ShowRecentFiles(const RecentList& list) override { shownRecent = list; }
  void ScanPlot(PltFormat f) override {
    scans.push_back(f);
    if (scanThrows) throw PlotIoError(PlotIoError::Kind::ShortFile, kTextReadBeyondEnd);
  }
  void ShowUnknownFormat() override { ++unknownMessages; }
  void CheckCentrePosition() override { ++centreChecks; }
};

class ShellOpen : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, std::initializer_list<uint8_t> bytes) {
    fs::path p = dir_ / name;
    std::ofstream out(p, std::ios::binary);
    for (uint8_t b : bytes) out.put(static_cast<char>(b));
    return p.string();
  }
  testsupport::TempDir dir_;
  ViewState vs_;
  OpenInputs in_;
  FakeHost host_;
};

TEST_F(ShellOpen, CommandLineFileIsScannedWithItsFormatAndFitted) {
  std::string p85 = Write("a.plt", {0x80, 0x00, 0x03, 0xBE, 1, 2});
  std::string p45 = Write("b.kir", {0x4E, 0x80, 0x01, 0x00});
  vs_.OpenFromCommandLine = true;
  vs_.ShiftX = 5;
  vs_.ShiftY = -3;
  in_.CommandLine = {p85};
  ASSERT_TRUE(RunOpen(vs_, in_, host_));
  EXPECT_EQ(host_.dialogRuns, 0);
  EXPECT_TRUE(vs_.Plot85Loaded);
  EXPECT_FALSE(vs_.Plot45Loaded);
  EXPECT_EQ(vs_.PlotFileName, p85);
  EXPECT_EQ(host_.fileName, "a.plt");
  EXPECT_EQ(host_.shownRecent[0], p85);
  EXPECT_EQ(host_.scans, std::vector<PltFormat>{PltFormat::Plt85});
  EXPECT_EQ(vs_.ShiftX, 0);
  EXPECT_EQ(vs_.ShiftY, 0);
  EXPECT_TRUE(vs_.FitPending);
  EXPECT_EQ(host_.centreChecks, 1);
  EXPECT_FALSE(vs_.OpenFromCommandLine);
  EXPECT_FALSE(vs_.ViewWindowSet);

  // The next open goes through the dialog; a .kir file with the PLT 4.5 signature opens as PLT 4.5.
  host_.dialogAnswer = p45;
  vs_.FitPending = false;
  ASSERT_TRUE(RunOpen(vs_, in_, host_));
  EXPECT_EQ(host_.dialogRuns, 1);
  EXPECT_TRUE(vs_.Plot45Loaded);
  EXPECT_FALSE(vs_.Plot85Loaded);
  EXPECT_TRUE(vs_.FitPending);
  EXPECT_EQ(vs_.RecentFiles[0], p45);
  EXPECT_EQ(vs_.RecentFiles[1], p85);
  EXPECT_TRUE(in_.DialogFileName.empty());
}

// A relative name from the command line becomes the full path before the recent list, the file
// name and the status panel see it.
TEST_F(ShellOpen, ARelativeCommandLineNameIsStoredAsAFullPath) {
  Write("rel.plt", {0x80, 0x00, 0x03, 0xBE});
  const fs::path before = fs::current_path();
  fs::current_path(dir_.path());
  vs_.OpenFromCommandLine = true;
  in_.CommandLine = {"./rel.plt"};
  const bool opened = RunOpen(vs_, in_, host_);
  fs::current_path(before);
  ASSERT_TRUE(opened);
  EXPECT_EQ(vs_.PlotFileName, dir_.Path() + "/rel.plt");
  EXPECT_EQ(host_.shownRecent[0], dir_.Path() + "/rel.plt");
  EXPECT_EQ(host_.fileName, "rel.plt");
  EXPECT_TRUE(vs_.Plot85Loaded);
}

TEST_F(ShellOpen, CancelledDialogChangesNothing) {
  vs_.Plot45Loaded = true;
  vs_.PlotFileName = "old";
  vs_.RecentFiles[0] = "old";
  ASSERT_FALSE(RunOpen(vs_, in_, host_));
  EXPECT_EQ(host_.dialogRuns, 1);
  EXPECT_TRUE(vs_.Plot45Loaded);
  EXPECT_EQ(vs_.PlotFileName, "old");
  EXPECT_FALSE(vs_.FitPending);
  EXPECT_EQ(host_.centreChecks, 0);
  EXPECT_TRUE(host_.fileName.empty());
}

TEST_F(ShellOpen, WindowArgumentIsTakenOnlyWhenItStartsWithAt) {
  std::string p = Write("a.plt", {0x4E, 0x80, 0, 0});
  vs_.OpenFromCommandLine = true;
  in_.CommandLine = {p, "@-50:-30_50:30"};
  ASSERT_TRUE(RunOpen(vs_, in_, host_));
  EXPECT_TRUE(vs_.ViewWindowSet);
  EXPECT_EQ(vs_.ViewWindow, (ViewWindowBox{-50, 50, -30, 30}));

  // A later open from the dialog keeps the window in force.
  host_.dialogAnswer = p;
  ASSERT_TRUE(RunOpen(vs_, in_, host_));
  EXPECT_TRUE(vs_.ViewWindowSet);

  ViewState fresh;
  OpenInputs in{{p, "b.plt"}, {}};
  fresh.OpenFromCommandLine = true;
  ASSERT_TRUE(RunOpen(fresh, in, host_));
  EXPECT_FALSE(fresh.ViewWindowSet);
  EXPECT_EQ(fresh.ViewWindow, ViewWindowBox{});
}

TEST_F(ShellOpen, RecentSourceOpensTheDialogFileName) {
  std::string p = Write("R&D a.plt", {0x80, 0x00, 0x03, 0xBE});
  vs_.RecentFiles = {"x", "y", p};
  vs_.OpenFromRecent = true;
  in_.DialogFileName = p;
  ASSERT_TRUE(RunOpen(vs_, in_, host_));
  EXPECT_EQ(host_.dialogRuns, 0);
  EXPECT_EQ(vs_.PlotFileName, p);
  EXPECT_EQ(vs_.RecentFiles[0], p);
  EXPECT_EQ(vs_.RecentFiles[1], "x");
  EXPECT_EQ(vs_.RecentFiles[2], "y");
  EXPECT_FALSE(vs_.OpenFromRecent);
  EXPECT_TRUE(vs_.Plot85Loaded);
}

TEST_F(ShellOpen, UnknownFormatIsListedButLeavesTheViewEmpty) {
  std::string p = Write("c.plt", {'a', 'b', 'c', 'd'});
  vs_.Plot85Loaded = true;
  host_.dialogAnswer = p;
  ASSERT_TRUE(RunOpen(vs_, in_, host_));
  EXPECT_EQ(host_.unknownMessages, 1);
  EXPECT_TRUE(host_.scans.empty());
  EXPECT_FALSE(vs_.PlotLoaded());
  EXPECT_EQ(vs_.RecentFiles[0], p);
  EXPECT_EQ(host_.fileName, "c.plt");
  EXPECT_TRUE(vs_.FitPending);
}

TEST_F(ShellOpen, InputOutputErrorsLeaveAnEmptyViewAndTheRecentEntry) {
  std::string shortFile = Write("short.plt", {0x4E, 0x80, 0x00});
  std::string locked = Write("locked.plt", {0x4E, 0x80, 0x00, 0x00});
  fs::permissions(locked, fs::perms::none);
  const bool canLock = ::access(locked.c_str(), R_OK) != 0;  // root reads anything
  struct Case {
    std::string path;
    const char* text;
  };
  std::vector<Case> cases = {{(dir_ / "missing.plt").string(), kTextFileNotFound}, {shortFile, kTextReadBeyondEnd}};
  if (canLock) cases.push_back({locked, kTextFileAccessDenied});
  for (const Case& c : cases) {
    vs_ = ViewState{};
    vs_.Plot45Loaded = true;
    vs_.ShiftX = 7;
    vs_.OpenFromRecent = true;
    in_.DialogFileName = c.path;
    try {
      RunOpen(vs_, in_, host_);
      ADD_FAILURE() << "no error for " << c.path;
    } catch (const PlotIoError& e) {
      EXPECT_STREQ(e.what(), c.text);
    }
    EXPECT_FALSE(vs_.PlotLoaded()) << c.path;
    EXPECT_EQ(vs_.PlotFileName, c.path);
    EXPECT_EQ(vs_.RecentFiles[0], c.path);
    EXPECT_EQ(host_.fileName, FileNameWithoutFolder(c.path));
    EXPECT_FALSE(vs_.OpenFromRecent);
    EXPECT_TRUE(in_.DialogFileName.empty());
    EXPECT_EQ(vs_.ShiftX, 7) << "shifts stay as they were";
    EXPECT_FALSE(vs_.FitPending);
  }
  EXPECT_EQ(host_.centreChecks, 0);
}

TEST_F(ShellOpen, AScanThatStopsWithAnErrorLeavesAnEmptyView) {
  std::string p = Write("cut.plt", {0x80, 0x00, 0x03, 0xBE});
  host_.scanThrows = true;
  vs_.OpenFromCommandLine = true;
  in_.CommandLine = {p};
  EXPECT_THROW(RunOpen(vs_, in_, host_), PlotIoError);
  EXPECT_FALSE(vs_.PlotLoaded());
  EXPECT_FALSE(vs_.OpenFromCommandLine);
}

}  // namespace
}  // namespace quarto
