// Stand-in dock.
#include "kernel/wm/dock.h"

namespace tavlin {

void dock_reset_dynamic() {}

}  // namespace tavlin
