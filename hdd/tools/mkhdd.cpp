// mkhdd: builds a MicroDOS hard-disk image from a manifest, for manual runs.
//
//   mkhdd MANIFEST OUTPUT
//
// One command a line; "#" starts a comment. Numbers are decimal or 0x-hex.
//   disks N                        image of N disks (first command)
//   count VALUE                    raw 16-bit disk-count field at offset 132
//   file DISK USER NAME.EXT PATH   a host file as a file of the image
//   data DISK USER NAME.EXT SIZE   a file of SIZE pattern bytes
//   layout microdos|cpmtools       how the files after it end on a 16 KB
//                                  boundary: with a Records-0 entry (microdos,
//                                  the default) or with the full entry
//   floppy DISK PATH               a MicroDOS floppy image as one disk
//   slot DISK SLOT HEX             a raw 32-byte slot (64 hex digits)
//   size BYTES                     final file size (truncates or extends)
#include <cstdio>
#include <exception>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "hdd/hdd_image.h"
#include "hddtest/image_builder.h"

namespace {

unsigned long long Number(const std::string& text) {
  std::size_t used = 0;
  const unsigned long long v = std::stoull(text, &used, 0);
  if (used != text.size()) throw std::invalid_argument("not a number: " + text);
  return v;
}

hddtest::RawEntry HexEntry(const std::string& hex) {
  if (hex.size() != 64) throw std::invalid_argument("a slot needs 64 hex digits");
  hddtest::RawEntry e{};
  for (std::size_t i = 0; i < 32; ++i) e[i] = static_cast<std::uint8_t>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
  return e;
}

void Run(std::istream& manifest, const std::string& output) {
  std::unique_ptr<hddtest::ImageBuilder> image;
  hddtest::Layout layout = hddtest::Layout::MicroDos;
  std::string line;
  int lineNo = 0;
  while (std::getline(manifest, line)) {
    ++lineNo;
    if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string cmd;
    if (!(words >> cmd)) continue;
    try {
      std::string a, b, c, d;
      if (cmd == "disks") {
        words >> a;
        const auto n = Number(a);
        if (n == 0 || n > 0xFFFF) throw std::invalid_argument("disk count must be 1 to 65535");
        image = std::make_unique<hddtest::ImageBuilder>(static_cast<std::uint32_t>(n));
        continue;
      }
      if (!image) throw std::invalid_argument("\"disks\" must come first");
      if (cmd == "count" && words >> a) {
        image->SetDiskCountField(static_cast<std::uint16_t>(Number(a)));
      } else if ((cmd == "file" || cmd == "data") && words >> a >> b >> c >> d) {
        hddtest::Bytes content;
        if (cmd == "file") {
          std::ifstream in(d, std::ios::binary);
          if (!in) throw std::invalid_argument("cannot read " + d);
          content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        } else {
          const auto size = Number(d);
          if (size > hdd::kDiskSize)  // no disk holds it: refuse before filling memory
            throw std::invalid_argument("file larger than a disk");
          content = hddtest::PatternBytes(static_cast<std::size_t>(size));
        }
        image->AddFile(static_cast<std::uint32_t>(Number(a)), static_cast<std::uint8_t>(Number(b)), c, content, layout);
      } else if (cmd == "layout" && words >> a && (a == "microdos" || a == "cpmtools")) {
        layout = a == "microdos" ? hddtest::Layout::MicroDos : hddtest::Layout::CpmTools;
      } else if (cmd == "floppy" && words >> a >> b) {
        const hddtest::Bytes floppy = hddtest::ReadWholeFile(b);
        image->AddFloppy(static_cast<std::uint32_t>(Number(a)), floppy);
      } else if (cmd == "slot" && words >> a >> b >> c) {
        image->SetSlot(static_cast<std::uint32_t>(Number(a)), static_cast<std::uint32_t>(Number(b)), HexEntry(c));
      } else if (cmd == "size" && words >> a) {
        image->SetSize(Number(a));
      } else {
        throw std::invalid_argument("unknown or incomplete command");
      }
    } catch (const std::exception& e) {
      throw std::runtime_error("line " + std::to_string(lineNo) + ": " + e.what());
    }
  }
  if (!image) throw std::runtime_error("the manifest names no disks");
  if (!image->Save(output)) throw std::runtime_error("cannot write " + output);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mkhdd MANIFEST OUTPUT\n");
    return 2;
  }
  std::ifstream manifest(argv[1]);
  if (!manifest) {
    std::fprintf(stderr, "mkhdd: cannot read %s\n", argv[1]);
    return 1;
  }
  try {
    Run(manifest, argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkhdd: %s\n", e.what());
    return 1;
  }
  return 0;
}
