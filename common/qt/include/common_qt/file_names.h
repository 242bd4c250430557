#pragma once
// The one crossing of file names between Qt (QString) and the programs' cores (bytes in
// std::string). File names on this system are bytes; the local encoding is UTF-8, but a
// name written in another code page (866, KOI8, common on files copied off MicroDOS disks)
// holds bytes that are no UTF-8. Qt's own conversion turns each such byte into U+FFFD,
// after which the file can no longer be named. Here every byte that is not part of valid
// UTF-8 is carried as the code unit U+DC80 + byte (a lone low surrogate, which valid text
// never holds) and turned back into the same byte, so any name survives the round trip.
// Qt's own file functions cannot reach such a name: the programs' dialogs list folders
// themselves (common_qt/file_dialog.h) and hand back names in this form.
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

namespace common_qt {

QString FileNameToQt(std::string_view bytes);
std::string FileNameFromQt(const QString& name);

// A name as a person reads it: bytes that are no UTF-8 shown as U+FFFD.
QString FileNameForDisplay(std::string_view bytes);

// The program's arguments after its name, through FileNameToQt.
QStringList ArgumentsOf(int argc, char** argv);

}  // namespace common_qt
