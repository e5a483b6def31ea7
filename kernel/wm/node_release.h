// Letting go of removed nodes: every window, dock record, desktop icon and
// menu that names a node by index drops it when the node leaves the table,
// so a freed slot reused by a new file is never mistaken for the old one.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// Registers wm_release_node with the file tree (start-up, test set-up).
void wm_watch_node_removals();
// Makes every shell record that refers to the node let go of it.
void wm_release_node(i32 node);

}  // namespace tavlin
