// Reads an image's whole item list through the loaded module, as the plug-in does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace hddtest {

struct Item {
  std::string name;
  std::uint32_t attributes = 0;
  std::uint32_t size = 0;
  bool operator==(const Item&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Item& i) {
  return os << "{" << i.name << ", 0x" << std::hex << i.attributes << std::dec << ", " << i.size << "}";
}

struct Listing {
  std::vector<Item> items;  // records with a name, in order
  std::size_t records = 0;  // records delivered with result 1
  int end = -1;             // the result that ended the walk; -1: the image did not open or prepare
};

Listing ListImage(const std::string& path);

}  // namespace hddtest
