#pragma once
// Scripted stand-in for the dialogs and boxes of the main window.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <deque>

#include "app/dialogs.h"

struct FakeDialogs : Dialogs {
  struct FileCall {
    QString folder, proposedName, filter;
    int filterIndex = 0;
  };
  struct Answer {
    QString file;  // empty: cancel
    int filterIndex = 1;
  };

  std::deque<Answer> answers;  // for the open and save dialogs, in turn
  std::vector<FileCall> openCalls, saveCalls;
  QStringList errors;           // "title: text"
  QStringList messages;         // plain boxes, "title: text"
  std::vector<QDialog*> shown;  // windows shown modally
  std::function<void(QDialog*)> onShow;

  QString answer(int& filterIndex) {
    if (answers.empty()) return {};
    const Answer a = answers.front();
    answers.pop_front();
    if (!a.file.isEmpty()) filterIndex = a.filterIndex;
    return a.file;
  }
  QString openFile(QWidget*, const QString& folder, const QString& filter, int& filterIndex) override {
    openCalls.push_back({folder, {}, filter, filterIndex});
    return answer(filterIndex);
  }
  QString saveFile(QWidget*, const QString& folder, const QString& proposedName, const QString& filter,
                   int& filterIndex) override {
    saveCalls.push_back({folder, proposedName, filter, filterIndex});
    return answer(filterIndex);
  }
  void errorBox(QWidget*, const QString& title, const QString& text) override { errors << title + ": " + text; }
  void messageBox(QWidget*, const QString& title, const QString& text) override { messages << title + ": " + text; }
  void showModal(QDialog* window) override {
    shown.push_back(window);
    if (onShow) onShow(window);
  }
};
