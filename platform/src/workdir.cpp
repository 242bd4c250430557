#include "platform/workdir.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

SavedWorkingDirectory::SavedWorkingDirectory() : fd_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

SavedWorkingDirectory::~SavedWorkingDirectory() {
  if (fd_ < 0) return;
  Restore();
  close(fd_);
}

bool SavedWorkingDirectory::Restore() const { return fd_ >= 0 && fchdir(fd_) == 0; }

}  // namespace platform
