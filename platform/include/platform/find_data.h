// A file's facts as the host's find data: the one place where a listing, the panel's record
// of its image and a PC file handed to the plug-in get their attributes.
#pragma once

#include <string>
#include <string_view>

#include "common/status.h"
#include "platform/win32types.h"

namespace platform {

// Fills `data` (cleared first) for the file `path`, symbolic links followed (with
// `describeDanglingLink`, a link that leads nowhere is described itself): a folder gets
// FILE_ATTRIBUTE_DIRECTORY, any other file FILE_ATTRIBUTE_ARCHIVE and its size, a file its
// owner may not write FILE_ATTRIBUTE_READONLY too; the last-write time; `name` as the file
// name. Fails as the file's status did, or with ENAMETOOLONG when `name` does not fit.
common::Status FillFindData(const std::string& path, std::string_view name, WIN32_FIND_DATAA& data,
                            bool describeDanglingLink = false);

}  // namespace platform
