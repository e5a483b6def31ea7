// Composition of one desktop frame into the back buffer.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

void render_frame();
// Frames composed since start-up.
extern u32 frame_count;

}  // namespace tavlin
