// Replacing a file's whole content so that, whatever happens, the name gives the old
// content or the new one, never a mix, and nothing of the user's is widened or lost.
//
// What a replace does:
// - A symbolic link stays a link: the chain is followed and its last name gets the new
//   content (a link to a missing file creates that file).
// - A target the user may not write is refused before anything is written (EACCES); for
//   root, who may write anything, a target with no write bit at all counts as protected.
//   Only regular files are replaced (a folder: EISDIR, anything else: EACCES).
// - The new content is written into an unnamed temporary file in the target's folder
//   (O_TMPFILE), synced, linked in under a short hidden name and renamed over the target;
//   then the folder is synced. Where the file system has no unnamed files, the hidden
//   name is made first. The hidden name is the same for every save of one file, so a save
//   killed in between leaves at most that one hidden file, which the next save removes.
// - The new file keeps the old one's mode, and its owner and group where the process may
//   set them; a new file gets 0666 less the umask.
// - On failure the old file is untouched, the temporary is gone, and the status carries
//   the system's error number and text. Writes obey the fault switch (common/faults.h).
#pragma once

#include <string>
#include <string_view>

#include "common/status.h"

namespace common {

struct ReplaceOptions {
  bool makeFolders = false;  // create the target's missing folders first
};

Status ReplaceFile(const std::string& path, std::string_view bytes, const ReplaceOptions& options = {});

// The hidden name beside `fileName` (a bare name) under which a replace links its new
// content in just before the rename: short, whatever the length of the target's name.
std::string TemporaryNameFor(std::string_view fileName);

}  // namespace common
