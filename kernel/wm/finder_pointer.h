// The Finder's pointer handling: a press in its content, the updates while
// a button is held and the drop when it is released.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct Window;

// A left press at (cx, cy) in the content of a Finder window that has just
// been focused and raised.
void finder_press(Window& win, i32 cx, i32 cy);
// Every pass while a button is held.
void finder_held(Window& win);
// Every pass without a held button.
void finder_release(Window& win);

}  // namespace tavlin
