// The 100 Hz tick count every duration in the system is measured in.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kTicksPerSecond = 100;
extern u32 pit_ticks;

// Reads the tick count the timer interrupt keeps advancing.
inline u32 ticks_now() { return *static_cast<volatile u32*>(&pit_ticks); }

}  // namespace tavlin
