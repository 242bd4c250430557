// File names between bytes and QString: every byte survives the round trip.
#include <QtTest>

#include "common_qt/file_names.h"

using namespace common_qt;

class FileNamesTest : public QObject {
  Q_OBJECT

 private slots:
  void bytesSurviveTheRoundTrip() {
    const std::string bytes[] = {"/plots/plan\xE9.plt", "\xC0\x80", "\xED\xA0\x80", "\xF0\x9F\x98\x80 ok",
                                 "\xE9\xE9\xFF",        "abc",      "\xD0\xB0\xD0", ""};
    for (const std::string& b : bytes) QCOMPARE(FileNameFromQt(FileNameToQt(b)), b);
  }

  void validTextIsItselfAndOtherBytesShowAsReplacement() {
    const QChar r(QChar::ReplacementCharacter);
    const struct {
      std::string bytes;
      QString shown;
    } cases[] = {
        {"\xD0\xB0", QStringLiteral("а")},
        {"\xF0\x9F\x98\x80", QString::fromUtf8("\xF0\x9F\x98\x80")},
        {"caf\xE9.spr", QStringLiteral("caf") + r + QStringLiteral(".spr")},
        {"\xE9\xE9", QString(2, r)},
    };
    for (const auto& c : cases) {
      QCOMPARE(FileNameForDisplay(c.bytes), c.shown);
      if (!c.shown.contains(r)) QCOMPARE(FileNameToQt(c.bytes), c.shown);
    }
    // A lone surrogate that is no escaped byte is no character either.
    QCOMPARE(FileNameFromQt(QString(QChar(0xDC00))), std::string("\xEF\xBF\xBD"));
  }
};

QTEST_MAIN(FileNamesTest)
#include "file_names_test.moc"
