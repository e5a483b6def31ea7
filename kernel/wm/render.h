// Composition of one desktop frame into the back buffer, back to front.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// The whole frame, painted into the back buffer.
void render_frame();
// The same picture, neither counted as a frame nor disturbing what
// render_damaged keeps: a reference to compare its frames with.
void compose_frame();
// The frame, recomposed only where it differs from the one before (all of
// it after render_frame or a mode change); present_damage shows it.
void render_damaged();
// Frames composed since start-up.
extern u32 frame_count;
// Of those, frames render_damaged had to repaint whole after all: the
// drawing changed between listing and painting, or did not fit the list.
extern u32 frames_repainted_whole;
// Tick of the last window-drawing log line.
extern u32 last_dbg_tick;

}  // namespace tavlin
