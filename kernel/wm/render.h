// Composition of one desktop frame into the back buffer, back to front.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

void render_frame();
// Frames composed since start-up.
extern u32 frame_count;
// Tick of the last window-drawing log line.
extern u32 last_dbg_tick;

}  // namespace tavlin
