#pragma once
// The programs' open and save dialog. Qt's own file dialog cannot list a name that is not
// UTF-8: it decodes the name, cannot find the file under the decoded name, and drops it. This
// one lists a folder's names as the file system holds them (bytes), shows each as a person
// reads it (U+FFFD for a byte that is not UTF-8) and hands the chosen one back in the
// FileNameToQt form, so the program gets the name's own bytes. Its texts are those of Qt's
// file dialog, so Qt's translations serve it.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <string>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace common_qt {

struct FileDialogRequest {
  enum class Mode { Open, Save };
  Mode mode = Mode::Open;
  QString title;
  QString folder;           // where it starts, in the FileNameToQt form; empty: the current folder
  QString proposedName;     // the name it starts with, in the FileNameToQt form
  QStringList nameFilters;  // "Text (*.a *.b)", as Qt's file dialog takes them
  int filterIndex = 0;      // from 0; the chosen one when the user confirms
};

class FileDialog : public QDialog {
  Q_OBJECT

 public:
  FileDialog(QWidget* parent, const FileDialogRequest& request);

  // The folder listed, as bytes.
  const std::string& folder() const { return folder_; }
  void enterFolder(const std::string& folder);
  // The chosen file's full path in the FileNameToQt form; empty until the user confirms.
  const QString& chosen() const { return chosen_; }
  int filterIndex() const;

  QListWidget* list() const { return list_; }
  QLineEdit* nameEdit() const { return name_; }
  QComboBox* filterBox() const { return filters_; }

  // Takes the name in the edit: a folder is entered, any other name chosen and the dialog
  // accepted.
  void confirm();

 private:
  void fill();
  void picked(QListWidgetItem* item);
  void activated(QListWidgetItem* item);

  std::string folder_;
  QString chosen_;
  // The name last put into the edit and its bytes: taken as they are while the edit shows it.
  QString shownName_;
  std::string shownBytes_;
  QLineEdit* where_ = nullptr;
  QListWidget* list_ = nullptr;
  QLineEdit* name_ = nullptr;
  QComboBox* filters_ = nullptr;
};

// Runs the dialog modally. Returns the chosen file (FileNameToQt form) or empty when the user
// cancelled; the request's filter index becomes the chosen filter.
QString ChooseFile(QWidget* parent, FileDialogRequest& request);

}  // namespace common_qt
