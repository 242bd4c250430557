// A monotonic millisecond clock that tests can replace.
#pragma once

#include <chrono>
#include <cstdint>

// Milliseconds since an arbitrary start, wrapping at 2^32 like the Win32 call.
uint32_t GetTickCount();

namespace platform {
using TickSource = uint32_t (*)();
// Replaces the clock of this copy of the platform layer; nullptr restores the real one.
void SetTickSource(TickSource source);
// The real clock's reading for a time since the monotonic clock's start: whole
// milliseconds, wrapping at 2^32.
uint32_t TicksFromDuration(std::chrono::nanoseconds sinceStart);
// Name of the environment variable that replaces the clock in every copy of the layer
// (a loaded plug-in carries its own): when it holds a number N, each reading of the
// clock returns the previous reading plus N milliseconds, starting at 0. Read only in a build
// configured with DESKTOOLS_TEST_HOOKS=ON (the test command's); elsewhere the clock is real.
inline constexpr const char* kTickStepVariable = "DESKTOOLS_TICK_STEP_MS";
}  // namespace platform
