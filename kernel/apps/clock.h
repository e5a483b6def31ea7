// The Clock's setting: the time-zone offset its buttons adjust and the
// wall-clock reading adds to the hardware clock's hour.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr i32 kTimezoneMin = -12;
constexpr i32 kTimezoneMax = 12;

// Hours added to the hardware clock, -12 to +12; kept in memory only.
extern i32 timezone_offset_hours;

}  // namespace tavlin
