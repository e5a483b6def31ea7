// The 100 Hz tick count every duration in the system is measured in.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kTicksPerSecond = 100;
extern u32 pit_ticks;

// While held, the tick the hold began at: a frame is composed in more than
// one sweep, and every sweep must see the same instant.
extern u32 held_tick;
extern bool tick_held;
// Counts holds (never 0), so a value read once per hold can be kept for it.
extern u32 tick_hold_serial;

// Reads the tick count the timer interrupt keeps advancing (or the held one).
inline u32 ticks_now() { return tick_held ? held_tick : *static_cast<volatile u32*>(&pit_ticks); }

inline void ticks_hold() {
  held_tick = *static_cast<volatile u32*>(&pit_ticks);
  tick_held = true;
  if (++tick_hold_serial == 0) tick_hold_serial = 1;
}
inline void ticks_release() { tick_held = false; }

// Tick deadlines, correct across the counter's wrap.
inline bool tick_reached(u32 when) { return static_cast<i32>(ticks_now() - when) >= 0; }
inline u32 earlier_tick(u32 a, u32 b) { return static_cast<i32>(a - b) < 0 ? a : b; }

}  // namespace tavlin
