#pragma once
// Picture file names: the format of a name, save names and the sorted list of the
// pictures of a folder.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/formats.h"

namespace brindle {

// The part of a file name from its last "." on ("" when there is none); folders are
// not looked at.
std::string Extension(std::string_view name);

// The format of a name's extension, compared case-sensitively: each extension in
// lower or in upper case only (".Spr" has none).
PicFormat FormatOfName(std::string_view name);
bool IsPicFile(std::string_view name);

// name with its extension replaced by ext, or ext added when it has none.
std::string WithExtension(std::string_view name, std::string_view ext);

// The name proposed by the save dialog: no folder, no extension.
std::string ProposedSaveName(std::string_view picFileName);

// "name   i/n" with i counted from 1.
std::string PicTitle(std::string_view name, int index, int count);

// The picture files of a folder: regular, not hidden (no leading "."), with a picture
// extension; sorted by name without regard to ASCII case, ties by exact bytes, so the
// order does not depend on the file system. An unreadable folder gives an empty list.
std::vector<std::string> ListPicFiles(const std::filesystem::path& folder);

// Position index moved by delta (+1 or -1) in a list of count entries, wrapping at both ends.
int WrapIndex(int index, int delta, int count);

}  // namespace brindle
