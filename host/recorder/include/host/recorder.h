// Keeps every service call the plug-in makes of our host, for tests to read: the boxes,
// dialogs, menus and panel controls in call order, and the screens saved and restored.
// Attached with Host::SetObserver; the host itself keeps none of it.
#pragma once

#include <cstddef>
#include <vector>

#include "host/host.h"

namespace host {

// One entry of the recorder's log, in call order.
struct Event {
  enum Kind { Message, Dialog, Menu, Control, SaveScreen, RestoreScreen } kind;
  size_t index = 0;  // position in the list of calls of that kind
};

class Recorder : public Observer {
 public:
  std::vector<MessageCall> messages;
  std::vector<DialogCall> dialogs;
  std::vector<MenuCall> menus;
  std::vector<ControlCall> controls;
  std::vector<Event> events;
  std::vector<ScreenArea> savedAreas;  // the area of every SaveScreen, in call order
  int screensSaved = 0, screensRestored = 0;
  // FCTL_UPDATEPANEL and FCTL_REDRAWPANEL of the plug-in's panel, and of the PC panel
  // while the plug-in's menu command ran.
  int updateRequests = 0, redrawRequests = 0, pcUpdateRequests = 0, pcRedrawRequests = 0;

  // Forgets the calls (the counters stay).
  void Clear();

  void OnMessage(const MessageCall& call) override;
  void OnDialog(const DialogCall& call) override;
  void OnMenu(const MenuCall& call) override;
  void OnControl(const ControlCall& call) override;
  void OnSaveScreen(const ScreenArea& area) override;
  void OnRestoreScreen() override;
};

}  // namespace host
