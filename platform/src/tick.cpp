#include "platform/tick.h"

#include <chrono>
#include <cstdlib>

namespace {
platform::TickSource g_source = nullptr;
uint32_t g_stepped = 0;
}  // namespace

namespace platform {
void SetTickSource(TickSource source) { g_source = source; }

uint32_t TicksFromDuration(std::chrono::nanoseconds sinceStart) {
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}
}  // namespace platform

uint32_t GetTickCount() {
  if (g_source) return g_source();
#ifdef DESKTOOLS_TEST_HOOKS
  if (const char* step = std::getenv(platform::kTickStepVariable); step && *step) {
    const uint32_t now = g_stepped;
    g_stepped += static_cast<uint32_t>(std::strtoul(step, nullptr, 10));
    return now;
  }
#endif
  return platform::TicksFromDuration(std::chrono::steady_clock::now().time_since_epoch());
}
