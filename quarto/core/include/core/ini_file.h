#pragma once
// IniFile: a settings file of sections in brackets and key=value lines, read and edited in
// place. Section and key names are compared without regard to case and without surrounding
// blanks; a value loses its surrounding blanks and one pair of surrounding quotes; the first
// occurrence of a section or key wins. Writing a key edits its line, appends a missing key at the
// end of its section and a missing section at the end of the file; every other line stays byte
// for byte. Values are bytes: nothing is re-encoded. Any bytes parse; CRLF line ends and a UTF-8
// byte-order mark are read, new lines end in LF.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::string_view text);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  std::string GetString(std::string_view section, std::string_view key, const std::string& fallback) const;
  // Decimal, or hexadecimal after "0x"/"0X", within 32 bits; anything else gives the fallback.
  int32_t GetInt(std::string_view section, std::string_view key, int32_t fallback) const;
  // An integer other than 0 is true.
  bool GetBool(std::string_view section, std::string_view key, bool fallback) const;

  // Writes the value so that Get gives it back unchanged (quoted where reading would trim it).
  void Set(std::string_view section, std::string_view key, std::string_view value);
  void SetInt(std::string_view section, std::string_view key, int64_t value);
  void SetBool(std::string_view section, std::string_view key, bool value) { SetInt(section, key, value ? 1 : 0); }

  // The file's text.
  std::string Text() const;

 private:
  struct Where {
    size_t sectionLine = 0;     // the section's header line
    size_t end = 0;             // one past the section's last line with content
    std::optional<size_t> key;  // the key's line
  };
  std::optional<Where> Find(std::string_view section, std::string_view key) const;

  std::vector<std::string> lines_;  // raw, without their LF
  bool finalNewline_ = true;
};

// Parses a whole integer value as IniFile does (exposed for its tests).
std::optional<int32_t> ParseIniInt(std::string_view text);

}  // namespace quarto
