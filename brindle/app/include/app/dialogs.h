#pragma once
// The modal parts of the program behind one seam, so that tests replace them: the open and
// save dialogs, the error box and the modal showing of the zoom window and the about box.
#include <QString>

class QDialog;
class QWidget;

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Both file dialogs start in folder (empty: the process's current folder). filter is in
  // the "text|patterns|text|patterns" form; filterIndex counts from 1 and is updated when
  // the user confirms. Names go both ways in the common_qt::FileNameToQt form, so a name
  // that is not UTF-8 keeps its bytes. An empty result means cancelled.
  virtual QString openFile(QWidget* parent, const QString& folder, const QString& filter, int& filterIndex) = 0;
  virtual QString saveFile(QWidget* parent, const QString& folder, const QString& proposedName, const QString& filter,
                           int& filterIndex) = 0;
  virtual void errorBox(QWidget* parent, const QString& title, const QString& text) = 0;
  // The plain message box: the text, one OK button, no icon.
  virtual void messageBox(QWidget* parent, const QString& title, const QString& text) = 0;
  virtual void showModal(QDialog* window) = 0;
};

// The real dialogs (common_qt/file_dialog.h, which lists every name of a folder) and boxes.
class QtDialogs : public Dialogs {
 public:
  QString openFile(QWidget* parent, const QString& folder, const QString& filter, int& filterIndex) override;
  QString saveFile(QWidget* parent, const QString& folder, const QString& proposedName, const QString& filter,
                   int& filterIndex) override;
  void errorBox(QWidget* parent, const QString& title, const QString& text) override;
  void messageBox(QWidget* parent, const QString& title, const QString& text) override;
  void showModal(QDialog* window) override;

  // "Text|*.a;*.b|..." as the name filters of a Qt file dialog, "Text (*.a *.b)".
  static QStringList NameFilters(const QString& filter);
};
