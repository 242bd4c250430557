#include "host/recorder.h"

namespace host {

void Recorder::Clear() {
  messages.clear();
  dialogs.clear();
  menus.clear();
  controls.clear();
  events.clear();
}

void Recorder::OnMessage(const MessageCall& call) {
  messages.push_back(call);
  events.push_back({Event::Message, messages.size() - 1});
}

void Recorder::OnDialog(const DialogCall& call) {
  dialogs.push_back(call);
  events.push_back({Event::Dialog, dialogs.size() - 1});
}

void Recorder::OnMenu(const MenuCall& call) {
  menus.push_back(call);
  events.push_back({Event::Menu, menus.size() - 1});
}

void Recorder::OnControl(const ControlCall& call) {
  controls.push_back(call);
  events.push_back({Event::Control, controls.size() - 1});
  if (call.command == FCTL_UPDATEPANEL) ++(call.pcPanel ? pcUpdateRequests : updateRequests);
  if (call.command == FCTL_REDRAWPANEL) ++(call.pcPanel ? pcRedrawRequests : redrawRequests);
}

void Recorder::OnSaveScreen(const ScreenArea& area) {
  savedAreas.push_back(area);
  events.push_back({Event::SaveScreen, static_cast<size_t>(screensSaved++)});
}

void Recorder::OnRestoreScreen() { events.push_back({Event::RestoreScreen, static_cast<size_t>(screensRestored++)}); }

}  // namespace host
