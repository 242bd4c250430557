#pragma once
// Decides which key releases a window acts on. A held key sends repeated presses, and
// depending on the platform and on load, releases between them that are not marked as
// auto-repeated. A release counts only when the press it ends was not an auto-repeat and
// no other press of that key came since the last counted release; holding a key thus acts
// at most once.
#include <QKeyEvent>
#include <QSet>

class KeyReleaseRule {
 public:
  void pressed(const QKeyEvent& event) {
    const int key = event.key();
    if (event.isAutoRepeat() || down_.contains(key)) spoiled_.insert(key);
    down_.insert(key);
  }
  // True when this release is to be acted on. Releases marked as auto-repeated never are
  // and change nothing; any other release ends the key's press.
  bool released(const QKeyEvent& event) {
    if (event.isAutoRepeat()) return false;
    const int key = event.key();
    const bool act = !spoiled_.contains(key);
    down_.remove(key);
    spoiled_.remove(key);
    return act;
  }
  // Forgets every press, for when the window loses the keyboard: releases may then go
  // elsewhere.
  void reset() {
    down_.clear();
    spoiled_.clear();
  }

 private:
  QSet<int> down_;     // keys pressed since their last release
  QSet<int> spoiled_;  // of those, keys with a repeated or second press
};
