// Stand-in desktop icons.
#include "kernel/wm/desktop_icons.h"

namespace tavlin {

void desktop_icons_reset() {}
void desktop_icons_sync() {}

}  // namespace tavlin
