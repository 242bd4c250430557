#include "hddtest/cpmtools_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace hddtest {

namespace fs = std::filesystem;

std::string MicroDosDir() {
  const char* base = std::getenv("SHARED_TESTDATA_DIR");
  if (!base || !*base) return {};
  const fs::path dir = fs::path(base) / "microdos";
  return fs::is_directory(dir) ? dir.string() : std::string();
}

bool HaveCpmtools() {
  return std::system(
             "command -v cpmls >/dev/null 2>&1 && command -v cpmcp >/dev/null 2>&1 && "
             "command -v cpmrm >/dev/null 2>&1") == 0;
}

void WriteDiskdefs(const std::string& folder) {
  std::ofstream defs(folder + "/diskdefs");
  defs << "diskdef microdos\n  seclen 1024\n  tracks 164\n  sectrk 5\n  blocksize 2048\n"
          "  maxdir 128\n  boottrk 8\n  os 2.2\nend\n";
}

bool RunIn(const std::string& folder, const std::string& command) {
  return std::system(("cd '" + folder + "' && " + command).c_str()) == 0;
}

std::string OutputIn(const std::string& folder, const std::string& command) {
  FILE* p = popen(("cd '" + folder + "' && " + command).c_str(), "r");
  std::string out;
  if (!p) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

}  // namespace hddtest
