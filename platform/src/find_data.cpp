#include "platform/find_data.h"

#include <cerrno>
#include <cstring>

#include "common/file_facts.h"
#include "platform/filetime.h"

namespace platform {

common::Status FillFindData(const std::string& path, std::string_view name, WIN32_FIND_DATAA& data,
                            bool describeDanglingLink) {
  const common::Result<common::FileFacts> facts = common::StatFile(path, describeDanglingLink);
  if (!facts) return facts.status();
  if (name.size() >= sizeof data.cFileName) return common::Status::Failed(ENAMETOOLONG);
  std::memset(&data, 0, sizeof data);
  data.dwFileAttributes = facts->directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (facts->readOnly) data.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
  data.nFileSizeLow = static_cast<DWORD>(facts->size & 0xFFFFFFFFu);
  data.nFileSizeHigh = static_cast<DWORD>(facts->size >> 32);
  data.ftLastWriteTime = FileTimeFromTimespec(facts->modified);
  std::memcpy(data.cFileName, name.data(), name.size());
  data.cFileName[name.size()] = '\0';
  return {};
}

}  // namespace platform
