#include "host/host.h"

#include <dlfcn.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/read_file.h"
#include "platform/find_data.h"
#include "platform/registry.h"

namespace host {

namespace {

// OpenPlugin's openFrom when the plug-in is called from the file manager's plug-in menu.
constexpr int kOpenFromPluginsMenu = 1;

std::string Str(const char* s) { return s ? std::string(s) : std::string(); }

// What Enter closes the dialog with: the default button; in a dialog without one, the
// item marked default (an edit line that Enter leaves).
int DefaultDialogButton(const FarDialogItem* items, int count) {
  for (int i = 0; i < count; ++i)
    if (items[i].Type == DI_BUTTON && items[i].DefaultButton) return i;
  for (int i = 0; i < count; ++i)
    if (items[i].DefaultButton) return i;
  return -1;
}

template <typename Proc>
Proc Symbol(void* library, const char* name) {
  return reinterpret_cast<Proc>(dlsym(library, name));
}

}  // namespace

DialogItemRecord RecordOf(const FarDialogItem& item) {
  DialogItemRecord r;
  r.type = item.Type;
  r.x1 = item.X1;
  r.y1 = item.Y1;
  r.x2 = item.X2;
  r.y2 = item.Y2;
  r.focus = item.Focus;
  if (item.Flags & DIF_HISTORY) {
    r.history = Str(item.History);
  } else {
    r.selected = item.Selected;
  }
  r.flags = item.Flags;
  r.defaultButton = item.DefaultButton;
  r.data.assign(item.Data, strnlen(item.Data, sizeof item.Data));
  return r;
}

// ---- responders ----

int Responder::OnMessage(const MessageCall&) { return 0; }

int Responder::OnDialog(const DialogCall&, FarDialogItem* items, int count) {
  return DefaultDialogButton(items, count);
}

int Responder::OnMenu(const MenuCall& call) {
  for (size_t i = 0; i < call.items.size(); ++i)
    if (call.items[i].selected) return static_cast<int>(i);
  return call.items.empty() ? -1 : 0;
}

std::optional<Answer> ScriptedResponder::Take(Answer::Kind kind, const std::string& what) {
  if (!answers_.empty() && answers_.front().kind == kind) {
    Answer a = std::move(answers_.front());
    answers_.pop_front();
    return a;
  }
  if (strict_) failures_.push_back("unexpected " + what);
  return std::nullopt;
}

int ScriptedResponder::OnMessage(const MessageCall& call) {
  const auto a = Take(Answer::Message, "message box: " + (call.lines.empty() ? "" : call.lines[0]));
  if (!a) return strict_ ? -1 : Responder::OnMessage(call);
  return a->result;
}

int ScriptedResponder::OnDialog(const DialogCall& call, FarDialogItem* items, int count) {
  const auto a = Take(Answer::Dialog, "dialog: " + call.helpTopic);
  if (!a) return strict_ ? -1 : Responder::OnDialog(call, items, count);
  for (const auto& [index, text] : a->data) {
    if (index < 0 || index >= count) continue;
    const size_t n = std::min(text.size(), sizeof items[index].Data - 1);
    std::memcpy(items[index].Data, text.data(), n);
    items[index].Data[n] = 0;
  }
  for (const auto& [index, state] : a->selected)
    if (index >= 0 && index < count) items[index].Selected = state;
  return a->result;
}

int ScriptedResponder::OnMenu(const MenuCall& call) {
  const auto a = Take(Answer::Menu, "menu: " + call.title);
  if (!a) return strict_ ? -1 : Responder::OnMenu(call);
  return a->result;
}

// ---- language file ----

bool LanguageFile::Load(const std::string& path) {
  texts_.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const size_t eq = line.find('=');
    if (eq == 0 || eq == std::string::npos) continue;
    // The number: decimal digits only, and small enough for an int (else the line is skipped).
    int number = 0;
    const char* end = line.data() + eq;
    const auto [stop, ec] = std::from_chars(line.data(), end, number);
    if (ec != std::errc() || stop != end || line[0] == '-') continue;
    texts_[number] = line.substr(eq + 1);
  }
  return true;
}

const char* LanguageFile::Text(int number) const {
  const auto it = texts_.find(number);
  return it == texts_.end() ? "" : it->second.c_str();
}

// ---- host ----

Host* Host::running_ = nullptr;

Host::Host(HostOptions options) : options_(std::move(options)) {}

Host::~Host() { Stop(); }

bool Host::Load(const std::string& pluginPath, std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::string path = fs::absolute(pluginPath, ec).lexically_normal().string();
  void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    if (error) *error = "cannot load " + path + ": " + Str(dlerror());
    return false;
  }
  PluginExports e;
  void** slots[] = {
      reinterpret_cast<void**>(&e.SetStartupInfo),  reinterpret_cast<void**>(&e.OpenFilePlugin),
      reinterpret_cast<void**>(&e.GetFindData),     reinterpret_cast<void**>(&e.GetPluginInfo),
      reinterpret_cast<void**>(&e.ClosePlugin),     reinterpret_cast<void**>(&e.ExitFAR),
      reinterpret_cast<void**>(&e.Configure),       reinterpret_cast<void**>(&e.FreeFindData),
      reinterpret_cast<void**>(&e.OpenPlugin),      reinterpret_cast<void**>(&e.GetOpenPluginInfo),
      reinterpret_cast<void**>(&e.SetDirectory),    reinterpret_cast<void**>(&e.DeleteFiles),
      reinterpret_cast<void**>(&e.GetFiles),        reinterpret_cast<void**>(&e.PutFiles),
      reinterpret_cast<void**>(&e.ProcessHostFile),
  };
  std::string missing;
  for (size_t i = 0; i < std::size(kPluginExportNames); ++i) {
    *slots[i] = dlsym(lib, kPluginExportNames[i]);
    if (!*slots[i]) missing += std::string(missing.empty() ? "" : ", ") + kPluginExportNames[i];
  }
  if (!missing.empty()) {
    if (error) *error = path + " lacks the exports " + missing;
    dlclose(lib);
    return false;
  }
  library_ = lib;
  exports_ = e;
  return Bind(path, error);
}

bool Host::Attach(const PluginExports& exports, const std::string& modulePath, std::string* error) {
  exports_ = exports;
  return Bind(modulePath, error);
}

bool Host::Bind(const std::string& modulePath, std::string* error) {
  modulePath_ = modulePath;
  if (modulePath_.size() >= sizeof startup_.ModuleName) {
    if (error) *error = "the plug-in's path is too long: " + modulePath_;
    return false;
  }
  namespace fs = std::filesystem;
  const fs::path p(modulePath_);
  const fs::path base = p.parent_path() / p.stem();
  if (!language_.Load(base.string() + "." + options_.language + ".lng")) language_.Load(base.string() + ".en.lng");
  return true;
}

void Host::Start() {
  if (!options_.registryFile.empty()) {
    // The plug-in carries its own copy of the platform layer: tell both through the
    // environment.
    setenv(platform::kRegistryFileVariable, options_.registryFile.c_str(), 1);
    platform::SetRegistryStorePath(options_.registryFile);
  }
  std::memset(&startup_, 0, sizeof startup_);
  startup_.StructSize = sizeof startup_;
  std::memcpy(startup_.ModuleName, modulePath_.c_str(), modulePath_.size() + 1);
  startup_.ModuleNumber = kModuleNumber;
  startup_.RootKey = options_.rootKey.c_str();
  startup_.GetMsg = &Host::SvcGetMsg;
  startup_.Message = &Host::SvcMessage;
  startup_.Dialog = &Host::SvcDialog;
  startup_.Menu = &Host::SvcMenu;
  startup_.Control = &Host::SvcControl;
  startup_.SaveScreen = &Host::SvcSaveScreen;
  startup_.RestoreScreen = &Host::SvcRestoreScreen;
  // Started, this host serves the plug-in until it stops (or another one starts).
  running_ = this;
  if (exports_.SetStartupInfo) exports_.SetStartupInfo(&startup_);
  started_ = true;
}

bool Host::OpenFile(const std::string& path) {
  ClosePanel();
  if (!exports_.OpenFilePlugin) return false;
  std::error_code ec;
  const std::string full = std::filesystem::absolute(path, ec).lexically_normal().string();
  // First bytes only from a regular file: opening a pipe or a device could block.
  common::Result<common::FileBytes> head = common::ReadFile(full, kFirstBytes);
  std::string first = head ? std::move(head->bytes) : std::string();
  const size_t got = first.size();
  first.resize(kFirstBytes);
  const Serving serving(*this);
  void* p =
      exports_.OpenFilePlugin(full.c_str(), reinterpret_cast<unsigned char*>(first.data()), static_cast<int>(got));
  if (p == kNoPanel || !p) return false;
  panel_ = p;
  panelCurrent = 0;
  panelSelection.clear();
  return true;
}

bool Host::ReadPanel(int opMode) {
  if (!panel_ || !exports_.GetFindData) return false;
  const Serving serving(*this);
  PluginPanelItem* items = nullptr;
  int count = 0;
  reading_ = true;
  const int ok = exports_.GetFindData(panel_, &items, &count, opMode);
  reading_ = false;
  if (!ok) return false;
  panelItems.assign(items, items + (items && count > 0 ? count : 0));
  if (exports_.FreeFindData) exports_.FreeFindData(panel_, items, count);
  if (panelCurrent >= static_cast<int>(panelItems.size())) panelCurrent = 0;
  std::erase_if(panelSelection, [&](int i) { return i >= static_cast<int>(panelItems.size()); });
  return true;
}

bool Host::ChangeDirectory(const std::string& dir, int opMode) {
  if (!panel_ || !exports_.SetDirectory) return false;
  const Serving serving(*this);
  if (!exports_.SetDirectory(panel_, dir.c_str(), opMode)) return false;
  panelCurrent = 0;
  panelSelection.clear();
  ReadPanel(opMode);
  return true;
}

bool Host::GetInfo(OpenPluginInfo& info) {
  std::memset(&info, 0, sizeof info);
  if (!panel_ || !exports_.GetOpenPluginInfo) return false;
  const Serving serving(*this);
  info.StructSize = sizeof info;
  exports_.GetOpenPluginInfo(panel_, &info);
  return true;
}

void Host::ClosePanel() {
  if (panel_ && exports_.ClosePlugin) {
    const Serving serving(*this);
    exports_.ClosePlugin(panel_);
  }
  panel_ = nullptr;
  panelItems.clear();
  panelSelection.clear();
  panelCurrent = 0;
}

bool Host::PcItem(const std::string& name, PluginPanelItem& item, std::string* error) {
  std::memset(&item, 0, sizeof item);
  const common::Status filled = platform::FillFindData(name, name, item.FindData);
  if (filled) return true;
  if (error) {
    if (filled.error() == ENAMETOOLONG)
      *error = "the name is too long for the panel's record: " + name;
    else
      *error = "cannot find " + name + (name.empty() ? "" : ": " + filled.reason());
  }
  return false;
}

int Host::Put(const std::vector<std::string>& pcNames, bool move, int opMode, std::string* error) {
  if (!panel_ || !exports_.PutFiles) {
    if (error) *error = "no panel";
    return -1;
  }
  std::vector<PluginPanelItem> items(pcNames.size());
  for (size_t i = 0; i < pcNames.size(); ++i)
    if (!PcItem(pcNames[i], items[i], error)) return -1;
  return PutItems(std::move(items), move, opMode);
}

int Host::PutItems(std::vector<PluginPanelItem> items, bool move, int opMode) {
  if (!panel_ || !exports_.PutFiles) return -1;
  const Serving serving(*this);
  return exports_.PutFiles(panel_, items.data(), static_cast<int>(items.size()), move ? 1 : 0, opMode);
}

bool Host::OpenFromMenu(int item) {
  if (!exports_.OpenPlugin) return false;
  const Serving serving(*this);
  menuCommand_ = true;
  void* p = exports_.OpenPlugin(kOpenFromPluginsMenu, item);
  menuCommand_ = false;
  if (p == kNoPanel || !p) return false;
  ClosePanel();
  panel_ = p;
  return true;
}

void Host::Stop() {
  ClosePanel();
  if (started_ && exports_.ExitFAR) {
    const Serving serving(*this);
    exports_.ExitFAR();
  }
  started_ = false;
  if (running_ == this) running_ = nullptr;
  if (library_) dlclose(library_);
  library_ = nullptr;
  exports_ = {};
}

Responder& Host::responder() { return responder_ ? *responder_ : defaultResponder_; }

const char* Host::SvcGetMsg(int pluginNumber, int msgId) {
  Host* h = running_;
  if (!h || pluginNumber != kModuleNumber) return "";
  return h->language_.Text(msgId);
}

int Host::SvcMessage(int pluginNumber, unsigned flags, const char* helpTopic, const char* const* items, int itemsNumber,
                     int buttonsNumber) {
  Host* h = running_;
  if (!h || pluginNumber != kModuleNumber) return -1;
  MessageCall call;
  call.flags = flags;
  call.helpTopic = Str(helpTopic);
  for (int i = 0; items && i < itemsNumber; ++i) call.lines.push_back(Str(items[i]));
  call.buttons = buttonsNumber;
  if (buttonsNumber < 0 || buttonsNumber > itemsNumber)
    h->serviceErrors_.push_back("message box with " + std::to_string(buttonsNumber) + " buttons of " +
                                std::to_string(itemsNumber) + " lines");
  if (h->observer_) h->observer_->OnMessage(call);
  if (buttonsNumber <= 0) {  // no buttons: the box stays on screen, no answer
    h->responder().OnNotice(call);
    return -1;
  }
  const int r = h->responder().OnMessage(call);
  return r >= buttonsNumber ? -1 : r;
}

int Host::SvcDialog(int pluginNumber, int x1, int y1, int x2, int y2, const char* helpTopic, FarDialogItem* item,
                    int itemsNumber) {
  Host* h = running_;
  if (!h || pluginNumber != kModuleNumber || !item || itemsNumber <= 0) return -1;
  DialogCall call;
  call.x1 = x1;
  call.y1 = y1;
  call.x2 = x2;
  call.y2 = y2;
  call.helpTopic = Str(helpTopic);
  for (int i = 0; i < itemsNumber; ++i) call.items.push_back(RecordOf(item[i]));
  int r = h->responder().OnDialog(call, item, itemsNumber);
  if (r >= itemsNumber) r = -1;
  call.result = r;
  if (h->observer_) h->observer_->OnDialog(call);
  return r;
}

int Host::SvcMenu(int pluginNumber, int x, int y, int maxHeight, unsigned flags, const char* title, const char* bottom,
                  const char* helpTopic, const int*, int* breakCode, const FarMenuItem* item, int itemsNumber) {
  Host* h = running_;
  if (!h || pluginNumber != kModuleNumber) return -1;
  MenuCall call;
  call.x = x;
  call.y = y;
  call.maxHeight = maxHeight;
  call.flags = flags;
  call.title = Str(title);
  call.bottom = Str(bottom);
  call.helpTopic = Str(helpTopic);
  for (int i = 0; item && i < itemsNumber; ++i)
    call.items.push_back({std::string(item[i].Text, strnlen(item[i].Text, sizeof item[i].Text)), item[i].Selected,
                          item[i].Checked, item[i].Separator});
  if (h->observer_) h->observer_->OnMenu(call);
  if (breakCode) *breakCode = -1;
  const int r = h->responder().OnMenu(call);
  return r >= itemsNumber ? -1 : r;
}

int Host::SvcControl(void* plugin, int command, void* param) {
  Host* h = running_;
  if (!h) return 0;
  const bool pcPanel = plugin == kNoPanel && h->menuCommand_;
  if (h->observer_) h->observer_->OnControl({plugin, command, reinterpret_cast<intptr_t>(param), pcPanel});
  switch (command) {
    case FCTL_GETPANELINFO: {
      if (!param) return 0;
      PanelInfo& pi = h->panelInfo_;
      std::memset(&pi, 0, sizeof pi);
      pi.StructSize = sizeof pi;
      pi.Plugin = 1;
      pi.PanelItems = h->panelItems.empty() ? nullptr : h->panelItems.data();
      pi.ItemsNumber = static_cast<int>(h->panelItems.size());
      std::vector<PluginPanelItem>& selected = h->selectedCopy_;
      selected = h->Selection();
      pi.SelectedItems = selected.empty() ? nullptr : selected.data();
      pi.SelectedItemsNumber = static_cast<int>(selected.size());
      pi.CurrentItem = h->panelCurrent;
      pi.Visible = 1;
      pi.Focus = 1;
      std::memcpy(param, &pi, sizeof pi);
      return 1;
    }
    case FCTL_UPDATEPANEL:
      if (!pcPanel && h->panel_ && !h->reading_) h->ReadPanel();
      return 1;
    case FCTL_REDRAWPANEL: return 1;
    default: return 0;
  }
}

void* Host::SvcSaveScreen(int x1, int y1, int x2, int y2) {
  Host* h = running_;
  if (!h) return nullptr;
  if (h->observer_) h->observer_->OnSaveScreen({x1, y1, x2, y2});
  const uintptr_t token = h->nextScreen_++;
  h->openScreens_.push_back(token);
  return reinterpret_cast<void*>(token);
}

void Host::SvcRestoreScreen(void* screen) {
  Host* h = running_;
  if (!h) return;
  if (h->observer_) h->observer_->OnRestoreScreen();
  const auto token = reinterpret_cast<uintptr_t>(screen);
  const auto it = std::find(h->openScreens_.begin(), h->openScreens_.end(), token);
  if (it == h->openScreens_.end()) {
    h->serviceErrors_.push_back("screen restored that was not saved");
    return;
  }
  h->openScreens_.erase(it);
  h->responder().OnScreenRestored();
}

}  // namespace host
