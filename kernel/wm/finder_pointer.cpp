// The Finder's selection, rubber band and item drag. Stand-ins until the
// Finder lands: its presses select nothing and nothing is dragged.
#include "kernel/wm/finder_pointer.h"

namespace tavlin {

void finder_press(Window&, i32, i32) {}
void finder_held(Window&) {}
void finder_release(Window&) {}

}  // namespace tavlin
