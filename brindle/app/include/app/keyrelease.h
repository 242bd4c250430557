#pragma once
// Decides which key releases a window acts on. A held key sends repeated presses, and
// depending on the platform and on load, releases between them that are not marked as
// auto-repeated. A key acts once per press: on the first release of a press that is not
// marked as auto-repeated, however long the key was held before it. Releases marked as
// auto-repeated never act, and a release after a hold has already acted does nothing
// until the key is pressed afresh.
#include <QKeyEvent>
#include <QSet>

class KeyReleaseRule {
 public:
  void pressed(const QKeyEvent& event) {
    // A fresh press (not an auto-repeat) starts a press that may act again.
    if (!event.isAutoRepeat()) acted_.remove(event.key());
  }
  // True when this release is to be acted on.
  bool released(const QKeyEvent& event) {
    if (event.isAutoRepeat()) return false;
    const int key = event.key();
    if (acted_.contains(key)) return false;
    acted_.insert(key);
    return true;
  }
  // Forgets every press, for when the window loses the keyboard: releases may then go
  // elsewhere, and a release whose press was seen by another window still acts.
  void reset() { acted_.clear(); }

 private:
  QSet<int> acted_;  // keys whose current press has already acted
};
