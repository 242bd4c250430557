// File handles, reads and writes, 64-bit positions, folder search and folders.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "temp_folder.h"

namespace {

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

HANDLE Open(const std::string& path, DWORD access, DWORD disposition, DWORD flags = 0) {
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition, flags, nullptr);
}

TEST(FileHandle, EncodesTheDescriptor) {
  EXPECT_NE(PlatformHandleFromFd(0), nullptr);
  EXPECT_NE(PlatformHandleFromFd(0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(PlatformFdFromHandle(PlatformHandleFromFd(0)), 0);
  EXPECT_EQ(PlatformFdFromHandle(PlatformHandleFromFd(1234)), 1234);
  EXPECT_EQ(PlatformFdFromHandle(nullptr), -1);
  EXPECT_EQ(PlatformFdFromHandle(INVALID_HANDLE_VALUE), -1);

  // The handle means the same to code that only knows the encoding.
  TempFolder dir;
  WriteText(dir.File("f"), "abc");
  HANDLE h = Open(dir.File("f"), GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  char c = 0;
  EXPECT_EQ(read(PlatformFdFromHandle(h), &c, 1), 1);
  EXPECT_EQ(c, 'a');
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(CreateFileA, Dispositions) {
  struct Case {
    DWORD disposition;
    bool exists;
    bool opens;
    DWORD error;
    std::string contentAfter;  // "-" when no file is left
  };
  const Case cases[] = {
      {CREATE_NEW, false, true, NO_ERROR, ""},
      {CREATE_NEW, true, false, ERROR_FILE_EXISTS, "old"},
      {CREATE_ALWAYS, false, true, NO_ERROR, ""},
      {CREATE_ALWAYS, true, true, NO_ERROR, ""},
      {OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, "-"},
      {OPEN_EXISTING, true, true, NO_ERROR, "old"},
      {OPEN_ALWAYS, false, true, NO_ERROR, ""},
      {OPEN_ALWAYS, true, true, NO_ERROR, "old"},
      {TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, "-"},
      {TRUNCATE_EXISTING, true, true, NO_ERROR, ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    TempFolder dir;
    const std::string path = dir.File("f");
    if (c.exists) WriteText(path, "old");
    HANDLE h = Open(path, GENERIC_READ | GENERIC_WRITE, c.disposition);
    EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.opens) << "case " << n;
    if (!c.opens) {
      EXPECT_EQ(GetLastError(), c.error) << "case " << n;
    }
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    EXPECT_EQ(access(path.c_str(), F_OK) == 0 ? ReadText(path) : std::string("-"), c.contentAfter) << "case " << n;
    ++n;
  }
  TempFolder dir;
  EXPECT_EQ(Open("", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Open(dir.File("missing/f"), GENERIC_READ | GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(CreateFileA, RefusesFoldersFifosAndDevicesWithoutBlocking) {
  TempFolder dir;
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  const std::string paths[] = {dir.Path(), dir.File("fifo"), "/dev/null"};
  const DWORD dispositions[] = {OPEN_EXISTING, OPEN_ALWAYS, CREATE_ALWAYS, TRUNCATE_EXISTING};
  for (const std::string& p : paths) {
    for (DWORD access : {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE}) {
      for (DWORD d : dispositions) {
        EXPECT_EQ(Open(p, access, d), INVALID_HANDLE_VALUE) << p << " " << access << " " << d;
        EXPECT_NE(GetLastError(), NO_ERROR);
      }
    }
  }
  struct stat st {};
  ASSERT_EQ(stat(dir.File("fifo").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(CreateFileA, PassesBackslashesUnchangedAndHonoursReadOnly) {
  TempFolder dir;
  HANDLE h = Open(dir.File("a\\b.txt"), GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_READONLY);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_EQ(access(dir.File("a\\b.txt").c_str(), F_OK), 0);  // one file named a\b.txt
  EXPECT_NE(access(dir.File("a").c_str(), F_OK), 0);
  struct stat st {};
  ASSERT_EQ(stat(dir.File("a\\b.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
}

TEST(ReadWrite, EndOfFileShortReadsAndWrongHandles) {
  TempFolder dir;
  HANDLE h = Open(dir.File("f"), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 99;
  EXPECT_TRUE(WriteFile(h, "hello world", 11, &n, nullptr));
  EXPECT_EQ(n, 11u);
  ASSERT_EQ(SetFilePointer(h, 6, nullptr, FILE_BEGIN), 6u);
  char buf[32] = {};
  EXPECT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(n, 5u);
  EXPECT_STREQ(buf, "world");
  n = 99;
  EXPECT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));  // at the end: success with 0 bytes
  EXPECT_EQ(n, 0u);
  CloseHandle(h);

  h = Open(dir.File("f"), GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));  // opened for reading only
  EXPECT_EQ(n, 0u);
  EXPECT_NE(GetLastError(), NO_ERROR);
  CloseHandle(h);
  EXPECT_EQ(ReadText(dir.File("f")), "hello world");

  for (HANDLE bad : {INVALID_HANDLE_VALUE, static_cast<HANDLE>(nullptr)}) {
    EXPECT_FALSE(ReadFile(bad, buf, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(WriteFile(bad, buf, 1, &n, nullptr));
    EXPECT_EQ(SetFilePointer(bad, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
}

// A packet socket hands out one packet per read, so each read below is short by
// construction: 10 bytes asked, packets of 4, 4 and 2 bytes, then the end.
TEST(ReadWrite, ReadLoopsOverShortTransfers) {
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, fds), 0);
  for (const char* part : {"abcd", "efgh", "ij", "kl"})
    ASSERT_EQ(write(fds[1], part, std::strlen(part)), static_cast<ssize_t>(std::strlen(part)));
  close(fds[1]);
  char buf[16] = {};
  DWORD n = 0;
  EXPECT_TRUE(ReadFile(PlatformHandleFromFd(fds[0]), buf, 10, &n, nullptr));
  EXPECT_EQ(n, 10u);
  EXPECT_STREQ(buf, "abcdefghij");
  // The rest, then the end: a read of more than is left delivers what is left.
  std::memset(buf, 0, sizeof buf);
  EXPECT_TRUE(ReadFile(PlatformHandleFromFd(fds[0]), buf, 10, &n, nullptr));
  EXPECT_EQ(n, 2u);
  EXPECT_STREQ(buf, "kl");
  close(fds[0]);
}

TEST(FilePointer, SixtyFourBitPositionsAndSizes) {
  TempFolder dir;
  HANDLE h = Open(dir.File("big"), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  // Without the high part, moves by 32-bit distances: 0xFFFFFFFE is the last position that
  // can be reported; a move onto 0xFFFFFFFF is refused and leaves the pointer. Nothing is
  // written, so this runs where files above 4 GB cannot be made.
  struct Step {
    LONG distance;
    DWORD method, result, error;
  } steps[] = {
      {0x7FFFFFFF, FILE_BEGIN, 0x7FFFFFFFu, NO_ERROR},
      {0x7FFFFFFF, FILE_CURRENT, 0xFFFFFFFEu, NO_ERROR},
      {1, FILE_CURRENT, INVALID_SET_FILE_POINTER, ERROR_INVALID_PARAMETER},
      {0, FILE_CURRENT, 0xFFFFFFFEu, NO_ERROR},
      {-0x7FFFFFFE, FILE_CURRENT, 0x80000000u, NO_ERROR},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(SetFilePointer(h, s.distance, nullptr, s.method), s.result) << s.distance;
    EXPECT_EQ(GetLastError(), s.error) << s.distance;
  }
  // 4 GB + 10: high part 1, low part 10.
  LONG high = 1;
  ASSERT_EQ(SetFilePointer(h, 10, &high, FILE_BEGIN), 10u);
  EXPECT_EQ(high, 1);
  DWORD n = 0;
  if (!WriteFile(h, "xyz", 3, &n, nullptr)) {
    CloseHandle(h);
    GTEST_SKIP() << "the temporary folder holds no files above 4 GB";
  }
  DWORD sizeHigh = 0;
  EXPECT_EQ(GetFileSize(h, &sizeHigh), 13u);
  EXPECT_EQ(sizeHigh, 1u);

  // Back from the end by a negative 64-bit distance.
  high = -1;
  EXPECT_EQ(SetFilePointer(h, -3, &high, FILE_END), 10u);
  EXPECT_EQ(high, 1);
  char buf[4] = {};
  EXPECT_TRUE(ReadFile(h, buf, 3, &n, nullptr));
  EXPECT_STREQ(buf, "xyz");

  // A position of 0xFFFFFFFF is valid with the high part and told apart by the error.
  high = 0;
  EXPECT_EQ(SetFilePointer(h, static_cast<LONG>(0xFFFFFFFFu), &high, FILE_BEGIN), 0xFFFFFFFFu);
  EXPECT_EQ(GetLastError(), NO_ERROR);

  // Without the high part a position above 4 GB fails and the pointer stays.
  ASSERT_EQ(SetFilePointer(h, 100, nullptr, FILE_BEGIN), 100u);
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
  EXPECT_NE(GetLastError(), NO_ERROR);
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 100u);

  // Before the start: refused.
  EXPECT_EQ(SetFilePointer(h, -200, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 100u);
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CloseHandle(h);
}

class FindFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"b.DI", "A.di", "c.txt", "Zed.Di", "noext", "a.dix"}) WriteText(dir.File(name), name);
    ASSERT_EQ(mkdir(dir.File("sub.di").c_str(), 0755), 0);
  }
  std::vector<std::string> Names(const std::string& pattern) {
    std::vector<std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE s = FindFirstFileA(pattern.c_str(), &fd);
    if (s == INVALID_HANDLE_VALUE) return out;
    do out.push_back(fd.cFileName);
    while (FindNextFileA(s, &fd));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(s));
    return out;
  }
  TempFolder dir;
};

TEST_F(FindFiles, WildcardsIgnoreAsciiCaseAndResultsAreSorted) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Names(dir.File("*.di")), (V{"A.di", "Zed.Di", "b.DI", "sub.di"}));
  EXPECT_EQ(Names(dir.File("?.dI")), (V{"A.di", "b.DI"}));
  EXPECT_EQ(Names(dir.File("*.*")), (V{".", "..", "A.di", "Zed.Di", "a.dix", "b.DI", "c.txt", "noext", "sub.di"}));
  EXPECT_EQ(Names(dir.File("*ext")), (V{"noext"}));
  EXPECT_EQ(Names(dir.File("c.txt")), (V{"c.txt"}));
  EXPECT_EQ(Names(dir.File("C.TXT")), (V{"c.txt"}));
  EXPECT_TRUE(Names(dir.File("*.com")).empty());
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(Names(dir.File("nowhere/*.di")).empty());
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  // A pattern without a folder searches the current directory.
  char old[4096];
  ASSERT_GT(GetCurrentDirectoryA(sizeof old, old), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
  EXPECT_EQ(Names("*.TXT"), (V{"c.txt"}));
  ASSERT_TRUE(SetCurrentDirectoryA(old));
}

TEST_F(FindFiles, FindDataCarriesAttributesSizeAndWriteTime) {
  // 2000-01-01 00:00:00.5 UTC.
  const timespec times[2] = {{946684800, 500000000}, {946684800, 500000000}};
  ASSERT_EQ(utimensat(AT_FDCWD, dir.File("c.txt").c_str(), times, 0), 0);
  WIN32_FIND_DATAA fd;
  std::memset(&fd, 0x55, sizeof fd);
  HANDLE s = FindFirstFileA(dir.File("c.txt").c_str(), &fd);
  ASSERT_NE(s, INVALID_HANDLE_VALUE);
  FindClose(s);
  EXPECT_EQ(fd.dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(fd.nFileSizeLow, 5u);
  EXPECT_EQ(fd.nFileSizeHigh, 0u);
  const std::uint64_t ticks =
      (static_cast<std::uint64_t>(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime;
  EXPECT_EQ(ticks, 125911584005000000ull);
  EXPECT_EQ(fd.cAlternateFileName[0], '\0');

  s = FindFirstFileA(dir.File("sub.di").c_str(), &fd);
  ASSERT_NE(s, INVALID_HANDLE_VALUE);
  FindClose(s);
  EXPECT_EQ(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(fd.nFileSizeLow, 0u);

  int notASearch = 0;
  EXPECT_FALSE(FindClose(&notASearch));
  EXPECT_FALSE(FindNextFileA(&notASearch, &fd));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(CompareFileTime, OrdersByBothHalves) {
  struct Case {
    FILETIME a, b;
    LONG expected;
  };
  const Case cases[] = {
      {{0, 0}, {0, 0}, 0},           {{1, 0}, {2, 0}, -1}, {{0xFFFFFFFFu, 0}, {0, 1}, -1},
      {{0, 2}, {0xFFFFFFFFu, 1}, 1}, {{5, 7}, {5, 7}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareFileTime(&c.a, &c.b), c.expected);
    EXPECT_EQ(CompareFileTime(&c.b, &c.a), -c.expected);
  }
}

TEST(Folders, CreateAndChangeCurrentDirectory) {
  TempFolder dir;
  EXPECT_TRUE(CreateDirectoryA(dir.File("new").c_str(), nullptr));
  EXPECT_FALSE(CreateDirectoryA(dir.File("new").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectoryA(dir.File("no/such").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  char old[4096];
  const DWORD oldLen = GetCurrentDirectoryA(sizeof old, old);
  ASSERT_GT(oldLen, 0u);
  EXPECT_EQ(oldLen, std::strlen(old));
  ASSERT_TRUE(SetCurrentDirectoryA(dir.File("new").c_str()));
  char now[4096];
  const DWORD len = GetCurrentDirectoryA(sizeof now, now);
  const std::string expected = std::filesystem::canonical(dir.File("new")).string();
  EXPECT_EQ(std::string(now), expected);
  EXPECT_EQ(len, expected.size());
  // Too small a buffer: the size needed, terminator included, and the buffer untouched.
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), expected.size() + 1);
  EXPECT_EQ(small[0], 'x');
  EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), expected.size() + 1);

  EXPECT_FALSE(SetCurrentDirectoryA(dir.File("missing").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  ASSERT_TRUE(SetCurrentDirectoryA(old));
}

// A symbolic link is reported as itself, never as what it points at.
TEST(Names, AttributesDoNotFollowLinks) {
  TempFolder dir;
  std::ofstream(dir.File("file")) << "x";
  ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0777), 0);
  ASSERT_EQ(symlink("folder", dir.File("to-folder").c_str()), 0);
  ASSERT_EQ(symlink("file", dir.File("to-file").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", dir.File("dangling").c_str()), 0);
  struct Case {
    const char* name;
    DWORD attributes;
  };
  const Case cases[] = {
      {"file", FILE_ATTRIBUTE_ARCHIVE},
      {"folder", FILE_ATTRIBUTE_DIRECTORY},
      {"to-folder", FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY},
      {"to-file", FILE_ATTRIBUTE_REPARSE_POINT},
      {"dangling", FILE_ATTRIBUTE_REPARSE_POINT},
      {"missing", INVALID_FILE_ATTRIBUTES},
  };
  for (const Case& c : cases) EXPECT_EQ(GetFileAttributesA(dir.File(c.name).c_str()), c.attributes) << c.name;
  EXPECT_EQ(GetFileAttributesA(dir.File("missing").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

// A rename that finds its new name taken changes neither file, whatever the name is.
TEST(Names, MoveNeverReplaces) {
  TempFolder dir;
  const auto write = [&](const char* name, const char* text) { std::ofstream(dir.File(name)) << text; };
  const auto read = [&](const char* name) {
    std::ifstream in(dir.File(name));
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  write("new", "new");
  write("taken", "old");
  ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0777), 0);
  ASSERT_EQ(symlink("nowhere", dir.File("dangling").c_str()), 0);
  for (const char* taken : {"taken", "folder", "dangling"}) {
    EXPECT_FALSE(MoveFileA(dir.File("new").c_str(), dir.File(taken).c_str())) << taken;
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS) << taken;
  }
  EXPECT_EQ(read("new"), "new");
  EXPECT_EQ(read("taken"), "old");
  struct stat st {};
  EXPECT_EQ(lstat(dir.File("nowhere").c_str(), &st), -1);  // nothing written through the link

  EXPECT_TRUE(MoveFileA(dir.File("new").c_str(), dir.File("free").c_str()));
  EXPECT_EQ(read("free"), "new");
  EXPECT_EQ(GetFileAttributesA(dir.File("new").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(MoveFileA(dir.File("new").c_str(), dir.File("other").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
