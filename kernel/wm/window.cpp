// Stand-in window table: no windows yet.
#include "kernel/wm/window.h"

namespace tavlin {

void windows_init() {}
void win_end_finished_animations() {}

}  // namespace tavlin
