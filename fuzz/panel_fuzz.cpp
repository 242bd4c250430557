// The plug-in's image panel over whatever a format module delivers: the item fix-ups, the flat
// list and the folder tree built from it, browsed through our host as the file manager does
// (open, read the panel, into every folder two levels deep and back). The module is a fake linked
// into this program that serves items made from the input:
//   byte 0       ImgPrepare's result (low two bits; 0 refuses the image)
//   then items   [kind][length][name bytes][size byte]; kind's low two bits pick GetImgItem's
//                result (0 and 1 an item, 2 contents wrong, 3 read error), bit 2 the directory
//                attribute; the list ends with the input.
// Boxes are answered as a user pressing Esc would; the screens saved must all be restored.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "formatmodule/interface.h"
#include "fuzz/fuzz_support.h"
#include "host/host.h"
#include "panoply/entry_points.h"
#include "panoply/modules.h"
#include "panoply/state.h"
#include "pluginapi/plugin_api.h"

namespace {

const uint8_t* gData = nullptr;
size_t gSize = 0;
size_t gAt = 0;

int WINAPI FakeIsImage(const char*, const unsigned char*, int) { return 1; }
int WINAPI FakeImgPrepare(HANDLE) {
  gAt = 1;
  return gSize > 0 ? gData[0] & 3 : 0;
}
int WINAPI FakeGetImgItem(HANDLE, PluginPanelItem* item) {
  if (gAt + 2 > gSize) return FM_FAILED;
  const uint8_t kind = gData[gAt];
  const size_t length = gData[gAt + 1];
  gAt += 2;
  std::memset(item, 0, sizeof *item);
  const size_t n = std::min({length, gSize - gAt, sizeof item->FindData.cFileName - 1});
  std::memcpy(item->FindData.cFileName, gData + gAt, n);
  gAt += n;
  if (gAt < gSize) item->FindData.nFileSizeLow = gData[gAt++];
  if (kind & 4) item->FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  // Fields a module may leave filled; the panel clears what it does not use.
  item->Flags = kind;
  switch (kind & 3) {
    case 2: return FM_NOT_SUPPORTED;
    case 3: return FM_READ_ERROR;
    default: return FM_DONE;
  }
}
int WINAPI FakeGetFormatName(char* longName, char* shortName) {
  std::strcpy(longName, "Fuzzed items");
  std::strcpy(shortName, "FZ");
  return 1;
}

class EscResponder : public host::Responder {
 public:
  int OnMessage(const host::MessageCall&) override { return -1; }
  int OnDialog(const host::DialogCall&, FarDialogItem*, int) override { return -1; }
  int OnMenu(const host::MenuCall&) override { return -1; }
};

struct Session {
  EscResponder responder;
  std::unique_ptr<host::Host> host;
  std::string image;
};

Session& TheSession() {
  static Session* s = [] {
    auto* session = new Session;
    const auto dir = fuzz::ScratchFolder();
    std::string lng;
    for (int i = 0; i <= 62; ++i) lng += std::to_string(i) + "=m" + std::to_string(i) + " %s %d\n";
    fuzz::WriteInput("Panoply.en.lng", reinterpret_cast<const uint8_t*>(lng.data()), lng.size());
    host::HostOptions o;
    o.registryFile = (dir / "registry.txt").string();
    session->host = std::make_unique<host::Host>(o);
    const PluginExports e = panoply::LinkedEntryPoints();
    if (!session->host->Attach(e, (dir / "Panoply.so").string())) fuzz::Fail("the host does not take the plug-in");
    session->host->SetResponder(&session->responder);
    session->host->Start();
    // The one format module: the fake above, in place of the (empty) Formats folder's.
    panoply::FormatModuleTable* t = panoply::State().modules;
    if (!t) fuzz::Fail("the plug-in has no module table");
    auto* r = static_cast<panoply::FormatModuleRecord*>(std::calloc(1, sizeof(panoply::FormatModuleRecord)));
    std::strcpy(r->fileName, "fuzz.di");
    r->IsImage = &FakeIsImage;
    r->ImgPrepare = &FakeImgPrepare;
    r->GetImgItem = &FakeGetImgItem;
    r->GetFormatName = &FakeGetFormatName;
    t->records = r;
    t->count = 1;
    session->image = (dir / "image.fz").string();
    static const uint8_t kImageBytes[16] = {'i', 'm', 'a', 'g', 'e'};
    fuzz::WriteInput("image.fz", kImageBytes, sizeof kImageBytes);
    return session;
  }();
  return *s;
}

void Browse(host::Host& h, int depth) {
  const std::vector<PluginPanelItem> items = h.panelItems;
  int folders = 0;
  for (const PluginPanelItem& item : items) {
    if (!(item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (std::memchr(item.FindData.cFileName, 0, sizeof item.FindData.cFileName) == nullptr)
      fuzz::Fail("a folder name without its terminating zero");
    if (++folders > 8) break;
    const std::string name = item.FindData.cFileName;
    if (name == "..") continue;
    if (h.ChangeDirectory(name)) {
      if (depth < 2) Browse(h, depth + 1);
      h.ChangeDirectory("..");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Session& s = TheSession();
  gData = data, gSize = size, gAt = 0;
  host::Host& h = *s.host;
  if (h.OpenFile(s.image)) {
    if (h.ReadPanel()) Browse(h, 0);
    OpenPluginInfo info;
    h.GetInfo(info);
    h.ClosePanel();
  }
  if (!h.serviceErrors().empty()) fuzz::Fail(h.serviceErrors().front().c_str());
  return 0;
}
