#include "platform/filetime.h"

#include <cstdint>

namespace platform {

FILETIME FileTimeFromTimespec(const timespec& ts) {
  constexpr std::int64_t kEpochDifference = 11644473600LL;  // seconds 1601..1970
  const std::int64_t ticks = (static_cast<std::int64_t>(ts.tv_sec) + kEpochDifference) * 10000000LL +
                             static_cast<std::int64_t>(ts.tv_nsec) / 100;
  const std::uint64_t u = ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks);
  return FILETIME{static_cast<DWORD>(u & 0xFFFFFFFFu), static_cast<DWORD>(u >> 32)};
}

}  // namespace platform
