#include "core/formats.h"

#include <algorithm>

#include "core/ascii.h"
#include "core/bmp.h"
#include "core/gifcodec.h"
#include "core/pcxcodec.h"
#include "core/pngcodec.h"
#include "core/rmb.h"
#include "core/scr.h"
#include "core/spr.h"

namespace brindle {

namespace fs = std::filesystem;

namespace {

// The PC formats fill the picture alone: the screen memory is left as it was, and saving
// keeps the picture's palette as it is.
void WriteBMP(const fs::path& file, Pic& pic, Mem&, const Levels&) { SaveBMP(file, pic); }
void ReadBMP(const fs::path& file, Mem&, Pic& pic, const Levels&) { BMPOpenAndShow(file, pic); }
void ReadGIF(const fs::path& file, Mem&, Pic& pic, const Levels&) { GIFOpenAndShow(file, pic); }
void WriteGIF(const fs::path& file, Pic& pic, Mem&, const Levels&) { SaveGIF(file, pic); }
void ReadPCX(const fs::path& file, Mem&, Pic& pic, const Levels&) { PCXOpenAndShow(file, pic); }
void ReadPNG(const fs::path& file, Mem&, Pic& pic, const Levels&) { PNGOpenAndShow(file, pic); }
void WritePNG(const fs::path& file, Pic& pic, Mem&, const Levels&) { SavePNG(file, pic); }

// One row a format, in the order of the open dialog. The open dialog's "*scr" and "*rbr"
// have no dot: the users' dialogs have always shown them so.
constexpr std::array<FormatRow, 7> Table{{
    {
        .kind = PicFormat::SPR,
        .extensions = {".spr"},
        .allPatterns = "*.spr",
        .openText = "SPR",
        .openPatterns = "*.spr",
        .reader = SPROpenAndShow,
        .saveIndex = 2,
        .saveText = "SPR",
        .writer = SaveSPR,
    },
    {
        .kind = PicFormat::BMP,
        .extensions = {".bmp"},
        .allPatterns = "*.bmp",
        .openText = "BMP",
        .openPatterns = "*.bmp",
        .reader = ReadBMP,
        .saveIndex = 1,
        .saveText = "BMP",
        .writer = WriteBMP,
    },
    {
        .kind = PicFormat::SCR,
        .extensions = {".scr"},
        .allPatterns = "*scr",
        .openText = "SCR",
        .openPatterns = "*.scr",
        .reader = SCROpen,
        .saveIndex = 0,
        .saveText = "",
        .writer = nullptr,
    },
    {
        .kind = PicFormat::RMB,
        .extensions = {".rmb", ".rbr"},
        .allPatterns = "*.rmb;*rbr",
        .openText = "REMBRANDT",
        .openPatterns = "*.rmb;*.rbr",
        .reader = RMBOpenAndShow,
        .saveIndex = 3,
        .saveText = "RMB",
        .writer = SaveRMB,
    },
    {
        .kind = PicFormat::GIF,
        .extensions = {".gif"},
        .allPatterns = "*.gif",
        .openText = "GIF",
        .openPatterns = "*.gif",
        .reader = ReadGIF,
        .saveIndex = 4,
        .saveText = "GIF",
        .writer = WriteGIF,
    },
    {
        .kind = PicFormat::PCX,
        .extensions = {".pcx"},
        .allPatterns = "*.pcx",
        .openText = "PCX",
        .openPatterns = "*.pcx",
        .reader = ReadPCX,
        .saveIndex = 0,
        .saveText = "",
        .writer = nullptr,
    },
    {
        .kind = PicFormat::PNG,
        .extensions = {".png"},
        .allPatterns = "*.png",
        .openText = "PNG",
        .openPatterns = "*.png",
        .reader = ReadPNG,
        .saveIndex = 5,
        .saveText = "PNG",
        .writer = WritePNG,
    },
}};

bool IsUpperOf(std::string_view ext, std::string_view lower) {
  return ext.size() == lower.size() &&
         std::equal(ext.begin(), ext.end(), lower.begin(), [](char e, char l) { return e == AsciiUpper(l); });
}

}  // namespace

std::span<const FormatRow> Formats() { return Table; }

const FormatRow* FormatOfExtension(std::string_view ext) {
  if (ext.empty()) return nullptr;
  for (const FormatRow& row : Table)
    for (std::string_view lower : row.extensions)
      if (!lower.empty() && (ext == lower || IsUpperOf(ext, lower))) return &row;
  return nullptr;
}

const FormatRow* FormatOfSaveIndex(int index) {
  if (index < 1) return nullptr;
  for (const FormatRow& row : Table)
    if (row.saveIndex == index) return &row;
  return nullptr;
}

int SaveFormatCount() {
  return static_cast<int>(
      std::count_if(Table.begin(), Table.end(), [](const FormatRow& r) { return r.saveIndex > 0; }));
}

const std::string& OpenFilter() {
  static const std::string filter = [] {
    std::string all, entries;
    for (const FormatRow& row : Table) {
      all += (all.empty() ? "" : ";") + std::string(row.allPatterns);
      entries += "|" + std::string(row.openText) + "|" + std::string(row.openPatterns);
    }
    return "All supported types|" + all + entries;
  }();
  return filter;
}

const std::string& SaveFilter() {
  static const std::string filter = [] {
    std::string text;
    for (int i = 1; i <= SaveFormatCount(); ++i) {
      const FormatRow* row = FormatOfSaveIndex(i);
      text += (i == 1 ? "" : "|") + std::string(row->saveText) + "|*" + std::string(row->extensions[0]);
    }
    return text;
  }();
  return filter;
}

}  // namespace brindle
