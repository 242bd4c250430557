// Language files of the plug-in, read by the host as it starts the plug-in: any bytes load, and
// every message number then gives a text.
#include "fuzz/fuzz_support.h"
#include "host/host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput("Panoply.xx.lng", data, size).string();
  host::LanguageFile file;
  if (!file.Load(path)) fuzz::Fail("an existing language file does not load");
  for (int n = -1; n < 70; ++n)
    if (file.Text(n) == nullptr) fuzz::Fail("a message without text");
  return 0;
}
