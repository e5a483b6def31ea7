// The damaged parts of the screen: a few rectangles that the next frame
// recomposes and presents, found by comparing the drawing operations of two
// frames. Overlapping rectangles, and any beyond the list, are merged.
#pragma once
#include "kernel/core/types.h"
#include "kernel/gfx/draw_ops.h"
#include "kernel/gfx/gfx.h"

namespace tavlin {

constexpr i32 kDamageRects = 4;

void damage_clear();
// Adds the screen's part of r.
void damage_add(const ClipRect& r);
void damage_add_screen();
i32 damage_count();
const ClipRect& damage_rect(i32 i);

// Adds the area of every operation that is not in both lists in the same
// order (unless a later opaque fill hides it): outside those areas the two
// frames are the same picture. Lists hold at most kMaxFrameOps.
void damage_between(const DrawOpList& before, const DrawOpList& after);

// Copies the damaged rectangles of the back buffer out.
void present_damage();

}  // namespace tavlin
