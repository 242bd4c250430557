// Fault injection for tests: makes writes run out of room and file or folder creation be
// refused, without mounting anything and without relying on permission bits (the tests
// also run as root, where those stop nothing).
//
// The switch is compiled in only when the build is configured with DESKTOOLS_TEST_HOOKS=ON
// (the test command does so); otherwise the functions below plant nothing and the
// environment is never read, so a user's environment cannot change what a program does.
//
// The switch is the environment variable DESKTOOLS_FAULTS. Every copy of this library
// (each deliverable links its own: the plug-in, hdd.di, the host, each program, a test
// program) reads it at every call of the functions below, so a test may change it between
// cases; each copy counts its own calls and bytes. Unset or empty: no faults. The file
// functions of this library and of the platform layer obey it, so it reaches every save.
//
// Syntax: items separated by ",", each `key` or `key=value`:
//   write-full-after=N  writes put at most N bytes in all: a write that would go past N
//                       writes the bytes up to N and fails with ENOSPC (the platform
//                       layer: ERROR_DISK_FULL), and every later write that has bytes to
//                       write fails so too.
//   write-fail-call=K   the K-th write (from 1) fails so and writes nothing; the writes
//                       before and after it succeed.
//   kill-write-call=K   the K-th write writes half of its bytes and the process is then
//                       killed (SIGKILL), as a kill or a power cut in the middle of a
//                       write would end it.
//   deny-create         creating a file, or opening one for writing, fails with EACCES.
//   deny-mkdir          creating a folder fails with EACCES.
//   no-tmpfile          unnamed temporary files (O_TMPFILE) are taken as unsupported, so
//                       a replace takes its named temporary file instead.
//   under=FOLDER        all of the above apply only to files and folders at or below
//                       FOLDER (an absolute path; symbolic links in it are resolved);
//                       calls elsewhere are neither failed nor counted. A relative name is
//                       taken from the current directory.
//   run=TAG             changes nothing by itself (see below).
// Unknown items are ignored.
//
// The counts of write-full-after, write-fail-call and kill-write-call start from 0
// whenever the variable's text differs from the text the same copy of the library saw at
// its previous call; to start counting again with the same faults, change `run=` (e.g.
// run=1, run=2).
//
// Example: DESKTOOLS_FAULTS="write-full-after=5000,under=/tmp/out"
#pragma once

#include <cstddef>

namespace common::faults {

inline constexpr const char* kVariable = "DESKTOOLS_FAULTS";

// True in a build whose fault switch reads the environment.
extern const bool kCompiledIn;

// What a write of `count` bytes on descriptor `fd` may do: write `allowed` bytes, then
// fail with ENOSPC when `fail` is set, or end the process when `kill` is.
struct WriteFault {
  std::size_t allowed;
  bool fail;
  bool kill = false;
};
WriteFault CheckWrite(int fd, std::size_t count);

// True when creating `path`, or opening it for writing, is to be refused.
bool CreateIsDenied(const char* path);

// True when creating the folder `path` is to be refused.
bool FolderIsDenied(const char* path);

// True when an unnamed temporary file in the folder `path` is to be taken as unsupported.
bool TmpfileIsDenied(const char* path);

}  // namespace common::faults
