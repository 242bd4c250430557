#pragma once
// The picture formats in one table: for each kind of file its extensions, its entries in
// the open and save dialogs, its reader and its writer. The extension dispatch, the
// dialog filters and the save command all read this table, so a new format is one row
// in formats.cpp plus the file that reads and writes it.
#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "core/palette.h"
#include "core/screen.h"

namespace brindle {

enum class PicFormat { None, SPR, BMP, SCR, RMB, GIF, PCX, PNG };

// Reads a picture file into mem and pic. Every failure throws brindle::Error with mem
// and pic unchanged.
using PicReader = void (*)(const std::filesystem::path& file, Mem& mem, Pic& pic, const Levels& levels);

// Writes pic as a picture file, replacing any old one. A failure throws brindle::Error
// with the old file, pic and mem as they were.
using PicWriter = void (*)(const std::filesystem::path& file, Pic& pic, Mem& mem, const Levels& levels);

struct FormatRow {
  PicFormat kind;
  // Lower-case extensions; each counts in lower case or in upper case only. The first is
  // the one the save command gives. Unused slots are empty.
  std::array<std::string_view, 2> extensions;
  std::string_view allPatterns;   // its patterns in the open dialog's "All supported types" entry
  std::string_view openText;      // its own entry in the open dialog
  std::string_view openPatterns;  // the patterns of that entry
  PicReader reader;               // null: listed, but opening does nothing in this version
  int saveIndex;                  // its place in the save dialog, from 1; 0: not offered there
  std::string_view saveText;      // its entry in the save dialog, pattern "*" + first extension
  PicWriter writer;               // null: offered, but saving reports that it is not available
};

// All rows, in the order of the open dialog.
std::span<const FormatRow> Formats();

// The row of an extension ("" or no match: null); compared case-sensitively.
const FormatRow* FormatOfExtension(std::string_view extension);

// The row at a save dialog index (1 to SaveFormatCount()); null outside.
const FormatRow* FormatOfSaveIndex(int index);
int SaveFormatCount();

// Filters in the dialogs' "text|patterns|text|patterns" form; indexes count from 1.
const std::string& OpenFilter();
const std::string& SaveFilter();

}  // namespace brindle
