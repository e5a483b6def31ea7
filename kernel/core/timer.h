// The 100 Hz tick count every duration in the system is measured in.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kTicksPerSecond = 100;
extern u32 pit_ticks;

// Reads the tick count the timer interrupt keeps advancing.
inline u32 ticks_now() { return *static_cast<volatile u32*>(&pit_ticks); }

// Tick deadlines, correct across the counter's wrap.
inline bool tick_reached(u32 when) { return static_cast<i32>(ticks_now() - when) >= 0; }
inline u32 earlier_tick(u32 a, u32 b) { return static_cast<i32>(a - b) < 0 ? a : b; }

}  // namespace tavlin
