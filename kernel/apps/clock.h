// The Clock application and the wall-clock reading it shares with the top
// bar: the time-zone offset its buttons adjust, the time of day from the
// CMOS real-time clock, and the dial.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr i32 kTimezoneMin = -12;
constexpr i32 kTimezoneMax = 12;

// Hours added to the hardware clock, -12 to +12; kept in memory only.
extern i32 timezone_offset_hours;
// Sine in hundredths at 0, 30, ..., 360 degrees.
extern const i32 sin_tab[13];

// Local time of day in seconds, 0..86399.
u32 get_current_time_seconds();

// "HH.MM" for the top bar: buf holds at least 6 bytes.
void format_clock_text(u32 seconds, char* buf);

}  // namespace tavlin
