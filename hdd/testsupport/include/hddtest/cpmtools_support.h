// The real MicroDOS floppies of the shared test data and Debian's cpmtools,
// which read them independently of this module.
#pragma once

#include <string>

namespace hddtest {

// The folder of the floppies, or "" when the shared test data are absent.
std::string MicroDosDir();

// True when cpmls, cpmcp and cpmrm are installed.
bool HaveCpmtools();

// Writes the floppies' disk definition "microdos" into `folder`, where the
// cpmtools commands then run.
void WriteDiskdefs(const std::string& folder);

// Runs a shell command in `folder`; true when it exits with 0.
bool RunIn(const std::string& folder, const std::string& command);

// Output of a shell command run in `folder`.
std::string OutputIn(const std::string& folder, const std::string& command);

}  // namespace hddtest
