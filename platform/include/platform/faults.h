// Fault injection for tests: makes writes run out of room and file or folder
// creation be refused, without mounting anything and without relying on
// permission bits (the tests also run as root, where those stop nothing).
//
// The switch is the environment variable DESKTOOLS_FAULTS. Every copy of the
// platform layer (each deliverable links its own: the plug-in, hdd.di, the
// host, a test program) reads it at every call of the functions below, so a
// test may change it between cases; each copy counts its own calls and bytes.
// Unset or empty: no faults.
//
// Syntax: items separated by ",", each `key` or `key=value`:
//   write-full-after=N  WriteFile writes at most N bytes in all: a call that
//                       would go past N writes the bytes up to N and fails
//                       with ERROR_DISK_FULL, and every later call that has
//                       bytes to write fails so too.
//   write-fail-call=K   the K-th call of WriteFile (from 1) fails with
//                       ERROR_DISK_FULL and writes nothing; the calls before
//                       and after it succeed.
//   kill-write-call=K   the K-th call of WriteFile writes half of its bytes
//                       and the process is then killed (SIGKILL), as a kill
//                       or a power cut in the middle of a write would end it.
//   deny-create         CreateFileA fails with ERROR_ACCESS_DENIED when it
//                       would create a file or open one for writing.
//   deny-mkdir          CreateDirectoryA fails with ERROR_ACCESS_DENIED.
//   under=FOLDER        all of the above apply only to files and folders at or
//                       below FOLDER (an absolute path; symbolic links in it
//                       are resolved); calls elsewhere are neither failed nor
//                       counted. A relative name is taken from the current
//                       directory.
//   run=TAG             changes nothing by itself (see below).
// Unknown items are ignored.
//
// The counts of write-full-after and write-fail-call start from 0 whenever
// the variable's text differs from the text the same copy of the layer saw at
// its previous call; to start counting again with the same faults, change
// `run=` (e.g. run=1, run=2).
//
// Example: DESKTOOLS_FAULTS="write-full-after=5000,under=/tmp/out"
#pragma once

#include "platform/win32types.h"

namespace platform {

inline constexpr const char* kFaultsVariable = "DESKTOOLS_FAULTS";

// What a WriteFile of `count` bytes on descriptor `fd` may do: write
// `allowed` bytes, then fail with ERROR_DISK_FULL when `fail` is set, or end
// the process when `kill` is.
struct WriteFault {
  DWORD allowed;
  bool fail;
  bool kill = false;
};
WriteFault CheckWriteFault(int fd, DWORD count);

// True when CreateFileA of `path` (creating, or opening for writing) is to be refused.
bool CreateIsDenied(const char* path);

// True when CreateDirectoryA of `path` is to be refused.
bool DirectoryIsDenied(const char* path);

}  // namespace platform
