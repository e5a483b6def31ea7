// The 8259 interrupt controller pair: its ports and the end-of-interrupt
// that every handler of a hardware line sends before it returns.
#pragma once
#include "kernel/arch/hw.h"
#include "kernel/core/types.h"

namespace tavlin::pic {

constexpr u16 kMasterCommand = 0x20;
constexpr u16 kMasterData = 0x21;
constexpr u16 kSlaveCommand = 0xA0;
constexpr u16 kSlaveData = 0xA1;
constexpr u8 kEndOfInterrupt = 0x20;

// Acknowledges line 0-15: a slave line needs both controllers told.
inline void end_of_interrupt(u32 line) {
  if (line >= 8) hw::outb(kSlaveCommand, kEndOfInterrupt);
  hw::outb(kMasterCommand, kEndOfInterrupt);
}

}  // namespace tavlin::pic
