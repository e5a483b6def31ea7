// The 8042 PS/2 controller's ports and status bits.
#pragma once
#include "kernel/core/types.h"

namespace tavlin::ps2 {

constexpr u16 kData = 0x60;
constexpr u16 kStatus = 0x64;   // read
constexpr u16 kCommand = 0x64;  // write
constexpr u8 kOutputFull = 0x01;
constexpr u8 kInputFull = 0x02;

constexpr u8 kCmdEnableAux = 0xA8;
constexpr u8 kCmdReadConfig = 0x20;
constexpr u8 kCmdWriteConfig = 0x60;
constexpr u8 kCmdWriteAux = 0xD4;
constexpr u8 kCmdPulseReset = 0xFE;

}  // namespace tavlin::ps2
