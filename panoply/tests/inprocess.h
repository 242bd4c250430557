// The plug-in's entry points linked into the test, handed to our host as a loaded
// plug-in's would be.
#pragma once

#include <memory>
#include <string>

#include "host/host.h"
#include "host/recorder.h"
#include "panoply/entry_points.h"
#include "pluginapi/plugin_api.h"
#include "test_support.h"

inline PluginExports InProcessExports() { return panoply::LinkedEntryPoints(); }

// Starts our host on the linked-in entry points, as if the plug-in were the file
// dir/Panoply.so (or pluginPath), with a language file giving message N the text "mN"
// plus the lines of `extraTexts`, and a store file of its own in dir; `log` records every
// service call.
inline std::unique_ptr<host::Host> StartInProcess(const testsupport::TempDir& dir, host::Responder& responder,
                                                  host::Recorder& log, const std::string& extraTexts,
                                                  const std::string& pluginPath = "") {
  std::string lng;
  for (int i = 0; i <= 63; ++i) lng += std::to_string(i) + "=m" + std::to_string(i) + "\n";
  testsupport::WriteFile(dir / "Panoply.en.lng", lng + extraTexts);
  host::HostOptions o;
  o.registryFile = dir / "registry.txt";
  auto h = std::make_unique<host::Host>(o);
  if (!h->Attach(InProcessExports(), pluginPath.empty() ? dir.File("Panoply.so") : pluginPath)) return nullptr;
  h->SetResponder(&responder);
  h->SetObserver(&log);
  h->Start();
  return h;
}
