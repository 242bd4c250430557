#include "common/status.h"

#include <cstring>

namespace common {

Status Status::Failed(int error, std::string reason) {
  Status s;
  s.error_ = error != 0 ? error : -1;
  s.reason_ = reason.empty() ? std::string(std::strerror(error)) : std::move(reason);
  return s;
}

}  // namespace common
