// File times as the Win32 records carry them.
#pragma once

#include <ctime>

#include "platform/win32types.h"

namespace platform {

// Seconds and nanoseconds since 1970 as 100 ns units since 1601 (0 for times before 1601).
FILETIME FileTimeFromTimespec(const timespec& ts);

}  // namespace platform
