#pragma once
// For tests of the programs' real dialogs: answers the next file dialog shown modally by
// choosing one of the names it lists, and tells which names it listed.
#include <QApplication>
#include <QListWidget>
#include <QStringList>
#include <QTimer>
#include <string>

#include "common_qt/file_dialog.h"

namespace common_qt::test {

// The names a dialog lists, as it shows them.
inline QStringList Listed(const FileDialog& dialog) {
  QStringList out;
  for (int i = 0; i < dialog.list()->count(); ++i) out << dialog.list()->item(i)->text();
  return out;
}

class FileDialogAnswer {
 public:
  // Chooses the listed name `shown`, in `folder` when one is given.
  explicit FileDialogAnswer(const QString& shown, const std::string& folder = {}) {
    poll_.setInterval(10);
    QObject::connect(&poll_, &QTimer::timeout, [this, shown, folder] {
      auto* dialog = qobject_cast<FileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      poll_.stop();
      if (!folder.empty()) dialog->enterFolder(folder);
      listed_ = Listed(*dialog);
      dialog->list()->setCurrentRow(static_cast<int>(listed_.indexOf(shown)));
      dialog->confirm();
    });
    poll_.start();
  }
  const QStringList& listed() const { return listed_; }

 private:
  QTimer poll_;
  QStringList listed_;
};

}  // namespace common_qt::test
