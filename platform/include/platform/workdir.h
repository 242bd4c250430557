// Keeps the process's current directory so that it can be made current again.
//
// The folder is held open by descriptor, not by name: it is restored even when
// its path is longer than MAX_PATH or the folder was renamed meanwhile.
#pragma once

namespace platform {

class SavedWorkingDirectory {
 public:
  // Opens the current directory; Saved() tells whether that worked.
  SavedWorkingDirectory();
  // Makes the saved folder current again (when it was saved) and closes it.
  ~SavedWorkingDirectory();
  SavedWorkingDirectory(const SavedWorkingDirectory&) = delete;
  SavedWorkingDirectory& operator=(const SavedWorkingDirectory&) = delete;

  bool Saved() const { return fd_ >= 0; }
  // Makes the saved folder current again; false when it cannot.
  bool Restore() const;

 private:
  int fd_;
};

}  // namespace platform
