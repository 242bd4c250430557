// The fixture of the plug-in's tests with fake format modules: a private plug-in folder
// whose Formats folder holds copies of fake builds, the plug-in started in-process on it,
// and the state of each installed fake as the plug-in loaded it.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fake_module.h"
#include "host/host.h"
#include "inprocess.h"
#include "platform/registry.h"
#include "platform/tick.h"
#include "test_support.h"

namespace {

const std::string kFakes = FAKE_MODULE_DIR;

class PanelTest : public testing::Test {
 protected:
  // Copies a fake build into the plug-in's Formats folder under a name of its own.
  void Install(const std::string& build, const std::string& as) {
    std::filesystem::create_directories(dir.path() / "Formats");
    std::filesystem::copy_file(kFakes + "/" + build + ".di", dir.path() / "Formats" / as);
  }
  void Start(const std::string& pluginPath = "") {
    h = StartInProcess(dir, script, log, "32=%s image\n51=%d items\n60=%d read\n" + extraTexts, pluginPath);
    ASSERT_NE(h, nullptr);
  }
  // One module, fake_all as "1.di", that accepts every file.
  FakeModuleState* StartWithAcceptingModule() {
    Install("fake_all", "1.di");
    Start();
    FakeModuleState* f = Fake("1.di");
    if (f) f->isImage = 1;
    return f;
  }
  // The state of an installed fake as the plug-in loaded it.
  FakeModuleState* Fake(const std::string& as) {
    void* lib = dlopen((dir / ("Formats/" + as)).c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!lib) return nullptr;
    auto proc = reinterpret_cast<FakeStateProc>(dlsym(lib, "FakeState"));
    dlclose(lib);
    return proc ? proc() : nullptr;
  }
  std::string Image(const std::string& name, const std::string& bytes = "image bytes") {
    testsupport::WriteFile(dir / name, bytes);
    return dir / name;
  }
  static std::vector<std::string> Names(const std::vector<PluginPanelItem>& items) {
    std::vector<std::string> out;
    for (const auto& i : items) out.push_back(i.FindData.cFileName);
    return out;
  }
  static int Count(const FakeModuleState* f, const std::string& entry) {
    int n = 0;
    for (const auto& c : f->calls) n += c.entry == entry;
    return n;
  }
  void TearDown() override {
    h.reset();
    platform::SetTickSource(nullptr);
    platform::SetRegistryStorePath("");
  }
  testsupport::TempDir dir;
  std::string extraTexts;  // more "N=text" lines for the language file
  host::ScriptedResponder script{true};
  host::Recorder log;
  std::unique_ptr<host::Host> h;
};

}  // namespace
