// Copying PC files into an image, with fake format modules answering every result.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "module_fixture.h"
#include "panoply/panel.h"
#include "panoply/put.h"
#include "platform/workdir.h"

using namespace panoply;
namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

class PutTest : public PanelTest {
 protected:
  // The plug-in with module `build` as the only one, on an open image "img.fak" whose
  // folder "sub" is current; two PC files a.txt (10 bytes) and b.txt (3 bytes).
  FakeModuleState* Open(const std::string& build = "fake_all") {
    Install(build, "1.di");
    Start();
    FakeModuleState* f = Fake("1.di");
    if (!f) return nullptr;
    f->isImage = 1;
    f->items = {FakeItem("sub\\x.dat", 5)};
    image = Image("img.fak", "image bytes");
    if (!h->OpenFile(image) || !h->ReadPanel() || !h->ChangeDirectory("sub")) return nullptr;
    a = PcFile("a.txt", "0123456789");
    b = PcFile("b.txt", "abc");
    f->calls.clear();
    log.Clear();
    return f;
  }
  std::string PcFile(const std::string& name, const std::string& bytes) {
    testsupport::WriteFile(dir / name, bytes);
    return dir / name;
  }
  // Answers the put dialog: OK (item 6) or another closing item, with the target and
  // the check box.
  void AnswerDialog(int closing = 6, const std::string* target = nullptr, int check = 0) {
    std::map<int, std::string> data;
    if (target) data[2] = *target;
    script.Push(host::Answer::Close(closing, data, {{4, check}}));
  }
  std::vector<Lines> Boxes() const {
    std::vector<Lines> out;
    for (const auto& m : log.messages) out.push_back(m.lines);
    return out;
  }
  std::vector<std::string> Entries(const FakeModuleState* f) const {
    std::vector<std::string> out;
    for (const auto& c : f->calls) out.push_back(c.entry + " " + c.path);
    return out;
  }
  ImagePanel& Panel() const { return *static_cast<ImagePanel*>(h->panel()); }
  std::string image, a, b;
};

Lines CopyFailed(const std::string& name, int message = 40) {
  return {"m15", "m" + std::to_string(message), name, "m5"};
}
const Lines kNotSupported = {"m15", "m39", "m11"};

int OpenDescriptors() {
  int n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

TEST_F(PutTest, TheDialogOffersTheCurrentFolderAndCancelDoesNothing) {
  FakeModuleState* f = Open();
  ASSERT_NE(f, nullptr);
  const unsigned sep = DIF_BOXCOLOR | DIF_SEPARATOR;
  for (int move : {0, 1}) {
    for (int closing : {7, -1}) {  // the second button, Esc
      log.Clear();
      script.Push(host::Answer::Close(closing));
      EXPECT_EQ(h->Put({a, b}, move), 0);
      ASSERT_EQ(log.dialogs.size(), 1u);
      const host::DialogCall& d = log.dialogs[0];
      EXPECT_EQ(d.helpTopic, "ExtractFiles");
      EXPECT_EQ(std::vector<int>({d.x1, d.y1, d.x2, d.y2}), std::vector<int>({-1, -1, 76, 10}));
      const std::vector<host::DialogItemRecord> expected = {
          {DI_DOUBLEBOX, 3, 1, 72, 8, 0, 0, "", 0, 0, move ? "m19" : "m17"},
          {DI_TEXT, 5, 2, 0, 0, 0, 0, "", 0, 0, "m54"},
          {DI_EDIT, 5, 3, 70, 3, 1, 0, "", 0, 0, "sub"},
          {DI_TEXT, 3, 4, 0, 0, 0, 0, "", sep, 0, ""},
          {DI_CHECKBOX, 5, 5, 0, 0, 0, 0, "", 0, 0, "m55"},
          {DI_TEXT, 3, 6, 0, 0, 0, 0, "", sep, 0, ""},
          {DI_BUTTON, 0, 7, 0, 0, 0, 0, "", DIF_CENTERGROUP, 1, "m10"},
          {DI_BUTTON, 0, 7, 0, 0, 0, 0, "", DIF_CENTERGROUP, 0, "m2"},
      };
      EXPECT_EQ(d.items, expected);
      EXPECT_TRUE(log.messages.empty());
    }
  }
  EXPECT_TRUE(f->calls.empty());
  // No items: no dialog.
  log.Clear();
  EXPECT_EQ(h->PutItems({}), 0);
  EXPECT_TRUE(log.dialogs.empty());
  // A panel without module (the global menu's) puts nothing.
  ImagePanel* none = NewImagePanel(-1);
  PluginPanelItem item = FakeItem("a.txt");
  EXPECT_EQ(PutPcFiles(*none, &item, 1, 0, 0), 0);
  FreeImagePanel(none);
  EXPECT_TRUE(log.dialogs.empty());
  EXPECT_TRUE(script.failures().empty());
}

// Every answer of FileExistOnImage against every answer of CopyFromPC, for two files.
TEST_F(PutTest, ModuleAnswersGiveTheirBoxesAndGoOnOrStop) {
  FakeModuleState* f = Open();
  ASSERT_NE(f, nullptr);
  struct Case {
    int exists, copy;
    int result;
    std::vector<Lines> boxes;
    int copies;  // CopyFromPC calls
  };
  const Lines stop = {"m15", "m57", "FileExist", "m1"};
  const std::vector<Case> cases = {
      {1, 1, 1, {CopyFailed(a), CopyFailed(b)}, 0},
      {5, 1, 0, {stop}, 0},
      {2, 1, 0, {kNotSupported}, 0},
      {0, 1, 1, {}, 2},
      {7, 1, 1, {}, 2},
      {0, 0, 1, {CopyFailed(a), CopyFailed(b)}, 2},
      {0, 7, 1, {CopyFailed(a), CopyFailed(b)}, 2},
      {0, -1, 1, {CopyFailed(a), CopyFailed(b)}, 2},
      {0, 2, 0, {kNotSupported}, 1},
      {0, 3, 1, {{"m15", "m58", a, "m6", "m1"}, {"m15", "m58", b, "m6", "m1"}}, 2},
      {0, 4, 1, {{"m15", "m59", a, "m6", "m1"}, {"m15", "m59", b, "m6", "m1"}}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("FileExistOnImage " + std::to_string(c.exists) + ", CopyFromPC " + std::to_string(c.copy));
    f->fileExist = c.exists;
    f->copyFromPC = c.copy;
    f->calls.clear();
    log.Clear();
    Panel().changed = false;
    AnswerDialog();
    for (size_t i = 0; i < c.boxes.size(); ++i) script.Push(host::Answer::Button(0));
    EXPECT_EQ(h->Put({a, b}), c.result);
    EXPECT_EQ(Boxes(), c.boxes);
    int copies = 0, checks = 0;
    for (const auto& call : f->calls) {
      copies += call.entry == "CopyFromPC";
      checks += call.entry == "FileExistOnImage";
    }
    EXPECT_EQ(copies, c.copies);
    EXPECT_EQ(checks, c.exists == 5 || c.exists == 2 ? 1 : c.copy == 2 ? 1 : 2);
    EXPECT_EQ(Panel().changed, c.copies > 0);
    for (const auto& m : log.messages) EXPECT_EQ(m.flags, m.lines == kNotSupported ? 1u : 9u);
  }
  EXPECT_EQ(testsupport::ReadFile(image), "image bytes");
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(PutTest, TheQueryStopsOnlyAtItsSecondButton) {
  FakeModuleState* f = Open();
  ASSERT_NE(f, nullptr);
  f->copyFromPC = 3;
  struct Case {
    int answer, result, copies;
  } cases[] = {{0, 1, 2}, {-1, 1, 2}, {1, 0, 1}};
  for (const auto& c : cases) {
    f->calls.clear();
    log.Clear();
    AnswerDialog();
    script.Push(host::Answer::Button(c.answer));
    if (c.copies == 2) script.Push(host::Answer::Button(c.answer));
    EXPECT_EQ(h->Put({a, b}), c.result) << c.answer;
    int copies = 0;
    for (const auto& call : f->calls) copies += call.entry == "CopyFromPC";
    EXPECT_EQ(copies, c.copies) << c.answer;
  }
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(PutTest, TheModuleGetsTheFileTheTargetAndTheOption) {
  FakeModuleState* f = Open();
  ASSERT_NE(f, nullptr);
  const std::string folder = dir / "folder";
  fs::create_directory(folder);
  struct Case {
    std::string target;
    int check;
  } cases[] = {{"sub", 0}, {"other\\deep", 1}, {"", 0}, {"no such folder", 1}};
  for (const auto& c : cases) {
    f->calls.clear();
    AnswerDialog(6, &c.target, c.check);
    EXPECT_EQ(h->Put({a, folder}), 1);
    ASSERT_EQ(f->calls.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
      const FakeCall& call = f->calls[i];
      EXPECT_EQ(call.entry, i % 2 ? "CopyFromPC" : "FileExistOnImage");
      EXPECT_EQ(call.target, c.target);
      EXPECT_EQ(std::string(call.item.FindData.cFileName), i < 2 ? a : folder);
      EXPECT_NE(call.handle, INVALID_HANDLE_VALUE);
      if (i % 2) {
        EXPECT_EQ(call.path, i < 2 ? a : folder);
        EXPECT_EQ(call.option, c.check);
      }
    }
    // The records the other panel hands over: size and archive, or the directory.
    EXPECT_EQ(f->calls[0].item.FindData.nFileSizeLow, 10u);
    EXPECT_EQ(f->calls[0].item.FindData.dwFileAttributes, DWORD{FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_EQ(f->calls[2].item.FindData.dwFileAttributes, DWORD{FILE_ATTRIBUTE_DIRECTORY});
  }
  // A target longer than 259 characters is not cut: no module call, the target named.
  const std::string longTarget(260, 'd');
  f->calls.clear();
  log.Clear();
  AnswerDialog(6, &longTarget);
  script.Push(host::Answer::Button(0));
  EXPECT_EQ(h->Put({a}), 0);
  EXPECT_TRUE(f->calls.empty());
  EXPECT_EQ(Boxes(), std::vector<Lines>({CopyFailed(longTarget)}));
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(PutTest, NamesRelativeToTheWorkingDirectoryReachTheModuleAsGiven) {
  FakeModuleState* f = Open();
  ASSERT_NE(f, nullptr);
  struct timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 0}};  // 2023-11-14 22:13:20 UTC
  ASSERT_EQ(utimensat(AT_FDCWD, b.c_str(), times, 0), 0);
  platform::SavedWorkingDirectory saved;
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  AnswerDialog();
  EXPECT_EQ(h->Put({"b.txt"}), 1);
  saved.Restore();
  ASSERT_EQ(f->calls.size(), 2u);
  EXPECT_EQ(f->calls[1].path, "b.txt");
  const WIN32_FIND_DATA& fd = f->calls[0].item.FindData;
  EXPECT_STREQ(fd.cFileName, "b.txt");
  EXPECT_EQ(fd.nFileSizeLow, 3u);
  // 100 ns units since 1601: (1700000000 + 11644473600) * 10^7.
  const uint64_t ticks = (uint64_t{fd.ftLastWriteTime.dwHighDateTime} << 32) | fd.ftLastWriteTime.dwLowDateTime;
  EXPECT_EQ(ticks, 133444736000000000ull);
}

TEST_F(PutTest, MissingEntryPointsAnswerZero) {
  // Without FileExistOnImage the copy is tried; without CopyFromPC every file fails.
  {
    FakeModuleState* f = Open("fake_no_FileExistOnImage");
    ASSERT_NE(f, nullptr);
    AnswerDialog();
    EXPECT_EQ(h->Put({a, b}), 1);
    EXPECT_EQ(Entries(f), std::vector<std::string>({"CopyFromPC " + a, "CopyFromPC " + b}));
    EXPECT_TRUE(log.messages.empty());
    h.reset();
  }
  fs::remove_all(dir / "Formats");
  FakeModuleState* f = Open("fake_no_CopyFromPC");
  ASSERT_NE(f, nullptr);
  fs::create_directory(dir / "folder");
  AnswerDialog();
  for (int i = 0; i < 2; ++i) script.Push(host::Answer::Button(0));
  EXPECT_EQ(h->Put({a, dir / "folder"}), 1);
  EXPECT_EQ(Boxes(), std::vector<Lines>({CopyFailed(a), CopyFailed(dir / "folder", 41)}));
  EXPECT_TRUE(Panel().changed);
  EXPECT_TRUE(script.failures().empty());
}

// The image gone, replaced by a folder, or not to be opened for writing: each file is
// reported with its own name, nothing reaches the module, the image stays as it was.
TEST_F(PutTest, AnImageThatCannotBeOpenedIsReportedPerFile) {
  FakeModuleState* f = Open();
  ASSERT_NE(f, nullptr);
  const std::vector<Lines> twice = {{"m15", "m45", a, "m5"}, {"m15", "m45", b, "m5"}};
  auto put = [&] {
    log.Clear();
    AnswerDialog();
    for (int i = 0; i < 2; ++i) script.Push(host::Answer::Button(0));
    EXPECT_EQ(h->Put({a, b}), 1);
    EXPECT_EQ(Boxes(), twice);
    EXPECT_TRUE(f->calls.empty());
  };
  setenv("DESKTOOLS_FAULTS", ("deny-create,under=" + dir.path().string()).c_str(), 1);
  put();
  unsetenv("DESKTOOLS_FAULTS");
  EXPECT_EQ(testsupport::ReadFile(image), "image bytes");
  fs::remove(image);
  put();
  fs::create_directory(image);
  put();
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(PutTest, APcFileGoneSinceItWasSelectedIsTheModulesToReport) {
  FakeModuleState* f = Open();
  ASSERT_NE(f, nullptr);
  PluginPanelItem gone;
  ASSERT_TRUE(host::Host::PcItem(a, gone));
  fs::remove(a);
  f->copyFromPC = 0;  // the fake cannot read it
  AnswerDialog();
  script.Push(host::Answer::Button(0));
  EXPECT_EQ(h->PutItems({gone}), 1);
  EXPECT_EQ(Boxes(), std::vector<Lines>({CopyFailed(a)}));
  std::string error;
  EXPECT_EQ(h->Put({a}, false, 0, &error), -1);  // the host has no record of it
  EXPECT_NE(error.find(a), std::string::npos);
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(PutTest, NoDescriptorStaysOpenAndTheChangedImageIsReadAgain) {
  FakeModuleState* f = Open();
  ASSERT_NE(f, nullptr);
  const int before = OpenDescriptors();
  struct Case {
    int exists, boxes;
  } cases[] = {{0, 0}, {1, 2}, {2, 1}};  // copied, each reported, stopped
  for (const auto& c : cases) {
    f->fileExist = c.exists;
    AnswerDialog();
    for (int i = 0; i < c.boxes; ++i) script.Push(host::Answer::Button(0));
    h->Put({a, b});
    EXPECT_EQ(script.pending(), 0u);
    EXPECT_EQ(Panel().image, INVALID_HANDLE_VALUE);
  }
  EXPECT_EQ(OpenDescriptors(), before);
  EXPECT_TRUE(script.failures().empty());
  f->calls.clear();
  ASSERT_TRUE(h->ReadPanel());
  EXPECT_EQ(Entries(f).front(), "ImgPrepare ");  // CopyFromPC was called: the list is read again
}

}  // namespace
