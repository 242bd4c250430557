// UTF-8 and the two code pages, the tables checked byte for byte against glibc's iconv.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "common/code_pages.h"
#include "common/utf8.h"

namespace common {
namespace {

TEST(Utf8, SequencesThatAreValidAndThoseThatAreNot) {
  const struct {
    std::string bytes;
    std::size_t length;  // of the sequence at the start; 0: none
    char32_t cp;
  } cases[] = {
      {"A", 1, U'A'},
      {"\xD0\xB0", 2, U'а'},
      {"\xE2\x82\xAC", 3, U'€'},
      {"\xF0\x9F\x98\x80", 4, U'\U0001F600'},
      {"\xF4\x8F\xBF\xBF", 4, U'\U0010FFFF'},
      {"\xE9", 0, 0},              // a Latin-1 byte
      {"\xE9t\xE9", 0, 0},         // ... before ASCII
      {"\xC0\x80", 0, 0},          // overlong
      {"\xE0\x80\xAF", 0, 0},      // overlong
      {"\xED\xA0\x80", 0, 0},      // a surrogate
      {"\xF4\x90\x80\x80", 0, 0},  // past U+10FFFF
      {"\xE2\x82", 0, 0},          // cut short
      {"\x80", 0, 0},              // a lone continuation byte
      {"\xF8\x88\x80\x80\x80", 0, 0},
  };
  for (const auto& c : cases) {
    char32_t cp = 0;
    EXPECT_EQ(Utf8SequenceAt(c.bytes, 0, cp), c.length) << c.bytes;
    if (c.length) {
      EXPECT_EQ(cp, c.cp) << c.bytes;
      std::string back;
      AppendUtf8(back, cp);
      EXPECT_EQ(back, c.bytes.substr(0, c.length));
    }
    EXPECT_EQ(IsValidUtf8(c.bytes), c.length == c.bytes.size()) << c.bytes;
  }
  EXPECT_EQ(DecodeUtf8("a\xD0\xB0"), std::u32string(U"aа"));
  EXPECT_FALSE(DecodeUtf8("a\xD0"));
  EXPECT_TRUE(IsValidUtf8(""));
}

// Each byte decoded by glibc; U+FFFD where glibc has no character for it.
char32_t IconvDecode(const char* page, unsigned char byte) {
  iconv_t cd = iconv_open("UTF-32LE", page);
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  char in[1] = {static_cast<char>(byte)};
  unsigned char out[8] = {};
  char* inp = in;
  char* outp = reinterpret_cast<char*>(out);
  std::size_t inLeft = 1, outLeft = sizeof out;
  const std::size_t done = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  if (done == static_cast<std::size_t>(-1) || outLeft != 4) return 0xFFFD;
  return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
}

TEST(CodePages, EveryByteDecodesAsGlibcDecodesIt) {
  const struct {
    CodePage page;
    const char* iconvName;
  } pages[] = {{CodePage::Cp866, "CP866"}, {CodePage::Cp1251, "CP1251"}};
  for (const auto& p : pages) {
    ASSERT_NE(IconvDecode(p.iconvName, 'A'), 0u) << p.iconvName << " missing from glibc";
    for (int b = 0; b < 256; ++b) {
      const char32_t expected = IconvDecode(p.iconvName, static_cast<unsigned char>(b));
      EXPECT_EQ(DecodeByte(p.page, static_cast<std::uint8_t>(b)), expected) << p.iconvName << " byte " << b;
      if (expected != 0xFFFD) {
        EXPECT_EQ(EncodeByte(p.page, expected), b) << p.iconvName << " byte " << b;
      }
    }
  }
  EXPECT_FALSE(EncodeByte(CodePage::Cp1251, 0xFFFD));
  EXPECT_FALSE(EncodeByte(CodePage::Cp866, U'€'));
  EXPECT_EQ(DecodeToUtf8(CodePage::Cp866, "\x8F\xE0\xA8"), "При");
  EXPECT_EQ(DecodeToUtf16(CodePage::Cp1251, "\xCF\xF0\xE8"), u"При");
}

}  // namespace
}  // namespace common
