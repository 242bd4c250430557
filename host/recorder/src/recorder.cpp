#include "host/recorder.h"

namespace host {

void Recorder::Clear() {
  messages.clear();
  dialogs.clear();
  menus.clear();
  controls.clear();
  events.clear();
}

namespace {

template <typename Call>
void Keep(std::vector<Call>& calls, std::vector<Event>& events, Event::Kind kind, const Call& call) {
  calls.push_back(call);
  events.push_back({kind, calls.size() - 1});
}

}  // namespace

void Recorder::OnMessage(const MessageCall& call) { Keep(messages, events, Event::Message, call); }
void Recorder::OnDialog(const DialogCall& call) { Keep(dialogs, events, Event::Dialog, call); }
void Recorder::OnMenu(const MenuCall& call) { Keep(menus, events, Event::Menu, call); }

void Recorder::OnControl(const ControlCall& call) {
  Keep(controls, events, Event::Control, call);
  if (call.command == FCTL_UPDATEPANEL) ++(call.pcPanel ? pcUpdateRequests : updateRequests);
  if (call.command == FCTL_REDRAWPANEL) ++(call.pcPanel ? pcRedrawRequests : redrawRequests);
}
void Recorder::OnSaveScreen(const ScreenArea& area) {
  savedAreas.push_back(area);
  events.push_back({Event::SaveScreen, static_cast<size_t>(screensSaved++)});
}

void Recorder::OnRestoreScreen() { events.push_back({Event::RestoreScreen, static_cast<size_t>(screensRestored++)}); }

}  // namespace host
