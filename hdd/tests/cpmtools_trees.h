// Trees that cpmtools make of MicroDOS floppies, for comparison with what is
// extracted from hard-disk images, and floppies cut out of hard-disk images.
#pragma once

#include <string>

#include "operation_support.h"

namespace hddtest {

// Files only: folders dropped from a tree.
Tree FilesOf(const Tree& tree);

// What cpmcp copies out of a floppy, user by user: user 0 on top, user U in
// "user_U". Works in the folder `work`.
Tree CpmcpTree(const std::string& work, const std::string& floppy);

// Disk d's 780 sectors from its directory behind 40 sectors of 0xE5: a file
// of a floppy's shape that cpmtools read, written to `path` (returned).
std::string FloppyOfDisk(const std::string& image, int disk, const std::string& path);

}  // namespace hddtest
