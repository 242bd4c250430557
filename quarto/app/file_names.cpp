#include "app/file_names.h"

#include "core/utf8.h"

namespace quarto {

namespace {

constexpr char16_t kEscapeBase = 0xDC80;

// Length of the valid UTF-8 sequence at s[i], 0 when there is none (overlong forms, surrogates
// and values past U+10FFFF are not valid).
size_t ValidSequence(std::string_view s, size_t i, char32_t& cp) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char c = b(0);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  size_t n;
  char32_t min;
  if ((c & 0xE0) == 0xC0) {
    n = 2, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((b(k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

QString FileNameToQt(std::string_view bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  for (size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const size_t n = ValidSequence(bytes, i, cp);
    if (n == 0) {
      out.append(QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i]) - 0x80)));
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      out.append(QChar(QChar::highSurrogate(cp)));
      out.append(QChar(QChar::lowSurrogate(cp)));
    } else {
      out.append(QChar(static_cast<char16_t>(cp)));
    }
    i += n;
  }
  return out;
}

std::string FileNameFromQt(const QString& name) {
  std::string out;
  out.reserve(static_cast<size_t>(name.size()));
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char16_t u = name.at(i).unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < name.size() && QChar::isLowSurrogate(name.at(i + 1).unicode())) {
      AppendUtf8(out, QChar::surrogateToUcs4(u, name.at(i + 1).unicode()));
      ++i;
    } else if (u >= kEscapeBase && u <= kEscapeBase + 0x7F) {
      out.push_back(static_cast<char>(0x80 + (u - kEscapeBase)));  // an escaped byte
    } else if (QChar::isSurrogate(u)) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

QStringList ArgumentsOf(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << FileNameToQt(argv[i]);
  return args;
}

}  // namespace quarto
