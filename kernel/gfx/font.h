// The 8x8 bitmap font: one byte per row, bit 0 is the leftmost pixel.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

extern const u8 font8x8[128][8];

}  // namespace tavlin
