#include "platform/registry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string_view>
#include <vector>

#include "common/read_file.h"
#include "common/replace_file.h"
#include "platform/codepage.h"

struct RegistryKeyObject {
  std::string path;  // full path from the root name, components joined by "\"
  REGSAM access = 0;
};

namespace {

constexpr const char* kRootName = "HKEY_CURRENT_USER";
std::string g_storePath;

struct Value {
  std::string name;
  uint32_t type = REG_NONE;
  std::string bytes;
};

struct Key {
  std::string path;
  std::vector<Value> values;
};

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (platform::AnsiLowerByte(static_cast<unsigned char>(a[i])) !=
        platform::AnsiLowerByte(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Bytes that would break the line format are written as %XX.
std::string Escape(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c < 0x20 || c >= 0x7F || c == '%' || c == '"' || c == '[' || c == ']') {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The whole store, read from the file for every call: it is small, and another process
// (or another copy of this layer) may have changed it in between.
struct Store {
  std::vector<Key> keys;

  Key* Find(std::string_view path) {
    for (auto& k : keys)
      if (SameName(k.path, path)) return &k;
    return nullptr;
  }

  // A key exists when it was created, or when a key below it was.
  bool Exists(std::string_view path) {
    if (SameName(path, kRootName)) return true;
    for (auto& k : keys) {
      if (SameName(k.path, path)) return true;
      if (k.path.size() > path.size() && k.path[path.size()] == '\\' &&
          SameName(std::string_view(k.path).substr(0, path.size()), path))
        return true;
    }
    return false;
  }

  // False when the store file exists but cannot be read: a rewrite would then lose the
  // keys it holds, so writers refuse.
  bool Load() {
    keys.clear();
    const common::Result<common::FileBytes> file = common::ReadFile(platform::RegistryStorePath());
    if (!file) return file.error() == ENOENT || file.error() == ENOTDIR;
    std::istringstream in(file->bytes);
    std::string line;
    Key* current = nullptr;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || line[0] == ';') continue;
      if (line[0] == '[' && line.back() == ']') {
        keys.push_back({Unescape(std::string_view(line).substr(1, line.size() - 2)), {}});
        current = &keys.back();
        continue;
      }
      if (!current || line[0] != '"') continue;
      const size_t close = line.find("\"=", 1);
      if (close == std::string::npos) continue;
      Value v;
      v.name = Unescape(std::string_view(line).substr(1, close - 1));
      std::string_view rest = std::string_view(line).substr(close + 2);
      const size_t colon = rest.find(':');
      if (colon == std::string_view::npos) continue;
      const std::string_view tag = rest.substr(0, colon), body = rest.substr(colon + 1);
      if (tag == "dword") {
        const uint32_t d = static_cast<uint32_t>(std::strtoul(std::string(body).c_str(), nullptr, 16));
        v.type = REG_DWORD;
        v.bytes.assign(reinterpret_cast<const char*>(&d), 4);
      } else {
        v.type = tag == "sz" ? REG_SZ : static_cast<uint32_t>(std::strtoul(std::string(tag).c_str(), nullptr, 10));
        v.bytes = Unescape(body);
      }
      current->values.push_back(std::move(v));
    }
    return true;
  }

  bool Save() const {
    std::ostringstream out;
    out << "; registry store of the desk tools\n";
    for (const auto& k : keys) {
      out << '[' << Escape(k.path) << "]\n";
      for (const auto& v : k.values) {
        out << '"' << Escape(v.name) << "\"=";
        if (v.type == REG_DWORD && v.bytes.size() == 4) {
          uint32_t d;
          std::memcpy(&d, v.bytes.data(), 4);
          char buf[16];
          std::snprintf(buf, sizeof buf, "%08x", d);
          out << "dword:" << buf;
        } else if (v.type == REG_SZ) {
          out << "sz:" << Escape(v.bytes);
        } else {
          out << v.type << ':' << Escape(v.bytes);
        }
        out << '\n';
      }
      out << '\n';
    }
    // A symbolic link to the store stays one, and a kill leaves the old store or the new.
    return static_cast<bool>(common::ReplaceFile(platform::RegistryStorePath(), out.str(), {.makeFolders = true}));
  }
};

// The path below `key` named by `subKey`, with empty components dropped.
bool JoinKeyPath(HKEY key, const char* subKey, std::string& out) {
  if (key == HKEY_CURRENT_USER) {
    out = kRootName;
  } else if (key) {
    out = key->path;
  } else {
    return false;
  }
  if (!subKey) return true;
  std::string_view rest(subKey);
  while (!rest.empty()) {
    const size_t cut = rest.find('\\');
    const std::string_view part = rest.substr(0, cut);
    if (!part.empty()) out.append("\\").append(part);
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 1);
  }
  return true;
}

HKEY MakeHandle(std::string path, REGSAM access) { return new RegistryKeyObject{std::move(path), access}; }

}  // namespace

namespace platform {

std::string RegistryStorePath() {
  if (!g_storePath.empty()) return g_storePath;
  if (const char* env = std::getenv(kRegistryFileVariable); env && *env) return env;
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    base = ".";
  }
  return base + "/desktools/registry.txt";
}

void SetRegistryStorePath(const std::string& path) { g_storePath = path; }

}  // namespace platform

LONG RegOpenKeyExA(HKEY key, const char* subKey, uint32_t, REGSAM access, HKEY* result) {
  if (!result) return kRegInvalidParameter;
  *result = nullptr;
  std::string path;
  if (!JoinKeyPath(key, subKey, path)) return kRegInvalidHandle;
  Store store;
  store.Load();
  if (!store.Exists(path)) return kRegFileNotFound;
  *result = MakeHandle(std::move(path), access);
  return kRegSuccess;
}

LONG RegCreateKeyExA(HKEY key, const char* subKey, uint32_t, char*, uint32_t, REGSAM access, void*, HKEY* result,
                     uint32_t* disposition) {
  if (!result) return kRegInvalidParameter;
  *result = nullptr;
  std::string path;
  if (!JoinKeyPath(key, subKey, path)) return kRegInvalidHandle;
  Store store;
  const bool loaded = store.Load();
  const bool existed = store.Exists(path);
  if (!store.Find(path)) {
    if (!loaded) return kRegCannotWrite;
    store.keys.push_back({path, {}});
    if (!store.Save()) return kRegCannotWrite;
  }
  if (disposition) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  *result = MakeHandle(std::move(path), access);
  return kRegSuccess;
}

LONG RegQueryValueExA(HKEY key, const char* valueName, uint32_t*, uint32_t* type, unsigned char* data,
                      uint32_t* dataSize) {
  if (!key || key == HKEY_CURRENT_USER) return kRegInvalidHandle;
  if (data && !dataSize) return kRegInvalidParameter;
  if (!(key->access & KEY_QUERY_VALUE)) return kRegAccessDenied;
  Store store;
  store.Load();
  const Key* k = store.Find(key->path);
  if (!k) return kRegFileNotFound;
  const std::string_view name = valueName ? valueName : "";
  for (const auto& v : k->values) {
    if (!SameName(v.name, name)) continue;
    if (type) *type = v.type;
    const auto size = static_cast<uint32_t>(v.bytes.size());
    if (!dataSize) return kRegSuccess;
    if (data && *dataSize < size) {
      *dataSize = size;
      return kRegMoreData;
    }
    if (data) std::memcpy(data, v.bytes.data(), size);
    *dataSize = size;
    return kRegSuccess;
  }
  return kRegFileNotFound;
}

LONG RegSetValueExA(HKEY key, const char* valueName, uint32_t, uint32_t type, const unsigned char* data,
                    uint32_t dataSize) {
  if (!key || key == HKEY_CURRENT_USER) return kRegInvalidHandle;
  if (!data && dataSize) return kRegInvalidParameter;
  if (!(key->access & KEY_SET_VALUE)) return kRegAccessDenied;
  Store store;
  if (!store.Load()) return kRegCannotWrite;
  Key* k = store.Find(key->path);
  if (!k) {
    store.keys.push_back({key->path, {}});
    k = &store.keys.back();
  }
  const std::string name = valueName ? valueName : "";
  std::string bytes = data ? std::string(reinterpret_cast<const char*>(data), dataSize) : std::string();
  bool found = false;
  for (auto& v : k->values) {
    if (SameName(v.name, name)) {
      v.type = type;
      v.bytes = std::move(bytes);
      found = true;
      break;
    }
  }
  if (!found) k->values.push_back({name, type, std::move(bytes)});
  return store.Save() ? kRegSuccess : kRegCannotWrite;
}

LONG RegCloseKey(HKEY key) {
  if (!key || key == HKEY_CURRENT_USER) return kRegInvalidHandle;
  delete key;
  return kRegSuccess;
}
