// Our small file-manager host for panel plug-ins. It loads a plug-in, fills its start-up
// record, provides the host services and answers every box the plug-in shows through a
// responder: a script given in advance (tests) or a person at a terminal. An observer,
// when one is attached, sees every service call.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "formatmodule/interface.h"
#include "pluginapi/plugin_api.h"

namespace host {

struct MessageCall {
  unsigned flags = 0;
  std::string helpTopic;
  std::vector<std::string> lines;  // title first, buttons last
  int buttons = 0;
};

struct DialogItemRecord {
  int type = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0, focus = 0;
  intptr_t selected = 0;
  std::string history;  // for an edit line with DIF_HISTORY
  unsigned flags = 0;
  int defaultButton = 0;
  std::string data;
  bool operator==(const DialogItemRecord&) const = default;
};

struct DialogCall {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::string helpTopic;
  std::vector<DialogItemRecord> items;
  int result = -1;
};

struct MenuItemRecord {
  std::string text;
  int selected = 0, checked = 0, separator = 0;
};

struct MenuCall {
  int x = 0, y = 0, maxHeight = 0;
  unsigned flags = 0;
  std::string title, bottom, helpTopic;
  std::vector<MenuItemRecord> items;
};

struct ControlCall {
  void* plugin = nullptr;
  int command = 0;
  intptr_t param = 0;
  bool pcPanel = false;  // addressed the PC panel while the plug-in's menu command ran
};

struct ScreenArea {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool operator==(const ScreenArea&) const = default;
};

// Watches the services the plug-in calls, one call at a time, after the host has
// handled it (a dialog with its result). Tests attach a Recorder (host/recorder.h).
class Observer {
 public:
  virtual ~Observer() = default;
  virtual void OnMessage(const MessageCall&) {}
  virtual void OnDialog(const DialogCall&) {}
  virtual void OnMenu(const MenuCall&) {}
  virtual void OnControl(const ControlCall&) {}
  virtual void OnSaveScreen(const ScreenArea&) {}
  virtual void OnRestoreScreen() {}
};

// A scripted answer to the next box of its kind.
struct Answer {
  enum Kind { Message, Dialog, Menu } kind = Message;
  int result = 0;                   // button, closing item or menu item; -1 for Esc
  std::map<int, std::string> data;  // dialog: item index -> new Data
  std::map<int, int> selected;      // dialog: item index -> new check state

  static Answer Button(int index) { return {Message, index, {}, {}}; }
  static Answer Close(int item, std::map<int, std::string> data = {}, std::map<int, int> selected = {}) {
    return {Dialog, item, std::move(data), std::move(selected)};
  }
  static Answer Pick(int item) { return {Menu, item, {}, {}}; }
};

// Answers the boxes. The default answers are those of Enter: the first button, the
// dialog's default button, the menu's selected item (message boxes without buttons are
// never asked).
class Responder {
 public:
  virtual ~Responder() = default;
  virtual int OnMessage(const MessageCall& call);
  // A message box without buttons: shown and left on screen, nothing to answer.
  virtual void OnNotice(const MessageCall&) {}
  // The plug-in put a saved screen back: boxes left on screen since are gone.
  virtual void OnScreenRestored() {}
  // May change the items' Data and Selected before returning the closing item.
  virtual int OnDialog(const DialogCall& call, FarDialogItem* items, int count);
  virtual int OnMenu(const MenuCall& call);
};

// Answers from a queue of Answers. Strict: a box with no answer queued (or of another
// kind) is a failure, answered with Esc. Lenient: such a box gets the default answer.
class ScriptedResponder : public Responder {
 public:
  explicit ScriptedResponder(bool strict) : strict_(strict) {}
  void Push(Answer answer) { answers_.push_back(std::move(answer)); }
  const std::vector<std::string>& failures() const { return failures_; }
  size_t pending() const { return answers_.size(); }
  int OnMessage(const MessageCall& call) override;
  int OnDialog(const DialogCall& call, FarDialogItem* items, int count) override;
  int OnMenu(const MenuCall& call) override;

 private:
  std::optional<Answer> Take(Answer::Kind kind, const std::string& what);
  bool strict_;
  std::deque<Answer> answers_;
  std::vector<std::string> failures_;
};

// The language file beside a plug-in: "N=text" lines, "#" starts a comment.
class LanguageFile {
 public:
  bool Load(const std::string& path);
  const char* Text(int number) const;  // "" for a number without text
  size_t size() const { return texts_.size(); }

 private:
  std::map<int, std::string> texts_;
};

struct HostOptions {
  std::string language = "en";  // picks "<plug-in name>.<language>.lng"
  std::string rootKey = "Software\\DeskTools\\PanoplyHost\\Plugins";
  std::string registryFile;  // empty: the platform's default store
};

class Host {
 public:
  explicit Host(HostOptions options = {});
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // Loads the plug-in library by path and checks that it has all 15 exports.
  bool Load(const std::string& pluginPath, std::string* error = nullptr);
  // Uses exports linked into this process; modulePath stands for the plug-in's file.
  bool Attach(const PluginExports& exports, const std::string& modulePath, std::string* error = nullptr);
  // Fills the start-up record and hands it to SetStartupInfo.
  void Start();
  // Calls ExitFAR (once) and unloads the library.
  void Stop();

  const PluginExports& plugin() const { return exports_; }
  const PluginStartupInfo& startupInfo() const { return startup_; }
  const std::string& modulePath() const { return modulePath_; }
  const LanguageFile& language() const { return language_; }

  void SetResponder(Responder* responder) { responder_ = responder; }
  void SetObserver(Observer* observer) { observer_ = observer; }

  // Rules of the host the plug-in broke in its service calls (a screen restored that was
  // not saved, a box with more buttons than lines); with every saved screen restored,
  // the screen is as the plug-in found it.
  const std::vector<std::string>& serviceErrors() const { return serviceErrors_; }
  bool ScreenBalanced() const { return openScreens_.empty() && serviceErrors_.empty(); }

  // ---- the panel of an opened file ----
  // Offers the file to the plug-in as the file manager does: the absolute path and the
  // file's first bytes (up to kFirstBytes). False when the plug-in declines it.
  static constexpr size_t kFirstBytes = 128 * 1024;
  bool OpenFile(const std::string& path);
  void* panel() const { return panel_; }
  // GetFindData into panelItems (a copy), then FreeFindData. False when the plug-in fails.
  bool ReadPanel(int opMode = 0);
  // SetDirectory, and on success a new reading of the panel.
  bool ChangeDirectory(const std::string& dir, int opMode = 0);
  // GetOpenPluginInfo of the open panel; false without one.
  bool GetInfo(OpenPluginInfo& info);
  void ClosePanel();

  // ---- files from the PC panel ----
  // The record of a PC file as the other panel hands it over: the name as given (relative
  // to the working directory, or absolute), directory 0x10 or archive 0x20, the size and
  // the write time from stat. False, with the reason, when the file cannot be examined or
  // its name does not fit the record.
  static bool PcItem(const std::string& name, PluginPanelItem& item, std::string* error = nullptr);
  // PutFiles of those files into the open panel: the plug-in's result, or -1 without a
  // call when no panel is open or a file has no record (the reason in error).
  int Put(const std::vector<std::string>& pcNames, bool move = false, int opMode = 0, std::string* error = nullptr);
  // PutFiles of records made by the caller; -1 without a panel.
  int PutItems(std::vector<PluginPanelItem> items, bool move = false, int opMode = 0);

  // ---- the plug-in menu ----
  // OpenPlugin as the file manager's plug-in menu calls it, from the PC panel: the
  // plug-in's global menu. True when the plug-in opened a panel (it becomes panel()).
  // FCTL_UPDATEPANEL and FCTL_REDRAWPANEL of the active panel (-1) while it runs are the
  // PC panel's (ControlCall::pcPanel).
  bool OpenFromMenu(int item = 0);

  // ---- copying, viewing and deleting items of the panel ----
  // Each sets the panel's selection (indexes into panelItems) or current item, calls the
  // export, checks the call (below) and reads the panel again. The plug-in's result, or
  // -1 without a call (no panel, no export, an index outside panelItems).
  static constexpr size_t kDestPathSize = 260;
  // GetFiles of the selection into dest, handed over in a 260-byte buffer the plug-in may
  // change (destAfter gets it back; a dest that does not fit fills it without terminator).
  int Copy(const std::vector<int>& selection, const std::string& dest, bool move = false, int opMode = 0,
           std::string* destAfter = nullptr);
  // GetFiles of panelItems[current] with OPM_VIEW | OPM_SILENT into a new private folder
  // under the temporary folder (folder gets its path; the caller removes it).
  int View(int current, std::string* folder);
  // DeleteFiles of the selection.
  int Remove(const std::vector<int>& selection, int opMode = 0);
  // The selection as FCTL_GETPANELINFO reports it: the selected items, else the current one.
  std::vector<PluginPanelItem> Selection() const;
  // What the checks after GetFiles and DeleteFiles found since the last call of this: a
  // working directory the call changed, screens saved and not restored, items passed that
  // the plug-in changed.
  std::vector<std::string> TakeCallErrors() { return std::exchange(callErrors_, {}); }

  // Panel state reported through FCTL_GETPANELINFO; re-read after FCTL_UPDATEPANEL.
  std::vector<PluginPanelItem> panelItems;
  std::vector<int> panelSelection;  // indexes into panelItems
  int panelCurrent = 0;

  // Service entry points (static, dispatched to the host that is running).
  static const char* SvcGetMsg(int pluginNumber, int msgId);
  static int SvcMessage(int pluginNumber, unsigned flags, const char* helpTopic, const char* const* items,
                        int itemsNumber, int buttonsNumber);
  static int SvcDialog(int pluginNumber, int x1, int y1, int x2, int y2, const char* helpTopic, FarDialogItem* item,
                       int itemsNumber);
  static int SvcMenu(int pluginNumber, int x, int y, int maxHeight, unsigned flags, const char* title,
                     const char* bottom, const char* helpTopic, const int* breakKeys, int* breakCode,
                     const FarMenuItem* item, int itemsNumber);
  static int SvcControl(void* plugin, int command, void* param);
  static void* SvcSaveScreen(int x1, int y1, int x2, int y2);
  static void SvcRestoreScreen(void* screen);

 private:
  // The host the services reach, since the plug-in calls them without a context: the
  // host serving a call into the plug-in (a Serving guard, for the call's length, then
  // put back), else the host started last and not stopped (for callers that call the
  // plug-in's exports themselves).
  class Serving {
   public:
    explicit Serving(Host& h) : previous_(running_) { running_ = &h; }
    ~Serving() { running_ = previous_; }
    Serving(const Serving&) = delete;
    Serving& operator=(const Serving&) = delete;

   private:
    Host* previous_;
  };
  static Host* running_;
  // The number the start-up record gives the plug-in and every service checks.
  static constexpr int kModuleNumber = 1;

  bool Bind(const std::string& modulePath, std::string* error);
  Responder& responder();
  // Runs an export that works on the panel's items, with the checks after it.
  int CheckedCall(const std::vector<PluginPanelItem>& passed, const std::function<int(PluginPanelItem*, int)>& call);

  HostOptions options_;
  void* library_ = nullptr;
  PluginExports exports_;
  std::string modulePath_;
  PluginStartupInfo startup_{};
  LanguageFile language_;
  Responder defaultResponder_;
  Responder* responder_ = nullptr;
  Observer* observer_ = nullptr;
  bool started_ = false;
  std::vector<uintptr_t> openScreens_;
  uintptr_t nextScreen_ = 1;
  std::vector<std::string> serviceErrors_, callErrors_;
  PanelInfo panelInfo_{};
  void* panel_ = nullptr;
  std::vector<PluginPanelItem> selectedCopy_;
  bool reading_ = false;
  bool menuCommand_ = false;  // OpenFromMenu runs: the PC panel is the active one
};

// A record view of one FarDialogItem.
DialogItemRecord RecordOf(const FarDialogItem& item);

}  // namespace host
