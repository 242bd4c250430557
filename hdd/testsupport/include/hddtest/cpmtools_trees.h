// Trees that cpmtools make of MicroDOS floppies, for comparison with what is
// extracted from hard-disk images, and floppies cut out of hard-disk images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hddtest/operation_support.h"

namespace hddtest {

// Files only: folders dropped from a tree.
Tree FilesOf(const Tree& tree);

// What cpmcp copies out of a floppy, user by user: user 0 on top, user U in
// "user_U". Works in the folder `work`.
Tree CpmcpTree(const std::string& work, const std::string& floppy);

// Disk d's 780 sectors from its directory behind 40 sectors of 0xE5: a file
// of a floppy's shape that cpmtools read, written to `path` (returned).
std::string FloppyOfDisk(const std::string& image, int disk, const std::string& path);

// A floppy that cpmtools writes, at `path` (returned): mkfs.cpm, then cpmcp of
// each file, in order, as "USER:NAME". Works in the folder `work`.
struct CpmFile {
  int user;
  std::string name;
  Bytes bytes;
};
std::string CpmtoolsFloppy(const std::string& work, const std::vector<CpmFile>& files, const std::string& path);

// Reverses, in the floppy's directory, the slot order of the entries of the
// file of `user` whose 11-byte name field is `nameField` (name and extension
// padded with blanks): the later extents come first, as on a disk whose freed
// slots were reused.
void ReverseEntries(const std::string& floppy, int user, const std::string& nameField);

// A floppy of what the cpmtools acceptance tests check: files ending on an
// extent boundary with no further entry (16 KB, 32 KB, 48 KB), and files whose
// entries stand in reverse extent order, in user 0 and user 3.
std::string ExtentBoundaryFloppy(const std::string& work, const std::string& path);

// A hard-disk image at `path` (returned) of `disks` disks, the first `copies` of them
// that floppy, the rest empty; the floppy is made in `work` as "cpm.fdd" (`floppy` gets
// its path).
std::string ExtentBoundaryImage(const std::string& work, std::uint32_t disks, std::uint32_t copies,
                                const std::string& path, std::string* floppy = nullptr);

}  // namespace hddtest
