#include "common_qt/file_names.h"

#include "common/utf8.h"

namespace common_qt {

namespace {

constexpr char16_t kEscapeBase = 0xDC80;

// Every valid sequence as its code point; every other byte as `invalid` gives it.
template <typename Invalid>
QString Decode(std::string_view bytes, Invalid invalid) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const std::size_t n = common::Utf8SequenceAt(bytes, i, cp);
    if (n == 0) {
      out.append(invalid(static_cast<unsigned char>(bytes[i])));
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

}  // namespace

QString FileNameToQt(std::string_view bytes) {
  return Decode(bytes, [](unsigned char b) { return QChar(static_cast<char16_t>(kEscapeBase + b - 0x80)); });
}

QString FileNameForDisplay(std::string_view bytes) {
  return Decode(bytes, [](unsigned char) { return QChar(QChar::ReplacementCharacter); });
}

std::string FileNameFromQt(const QString& name) {
  std::string out;
  out.reserve(static_cast<std::size_t>(name.size()));
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char16_t u = name.at(i).unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < name.size() && QChar::isLowSurrogate(name.at(i + 1).unicode())) {
      common::AppendUtf8(out, QChar::surrogateToUcs4(u, name.at(i + 1).unicode()));
      ++i;
    } else if (u >= kEscapeBase && u <= kEscapeBase + 0x7F) {
      out.push_back(static_cast<char>(0x80 + (u - kEscapeBase)));  // an escaped byte
    } else if (QChar::isSurrogate(u)) {
      common::AppendUtf8(out, 0xFFFD);
    } else {
      common::AppendUtf8(out, u);
    }
  }
  return out;
}

QStringList ArgumentsOf(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << FileNameToQt(argv[i]);
  return args;
}

}  // namespace common_qt
