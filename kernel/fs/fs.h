// The in-memory file tree.
#pragma once

namespace tavlin {

// Builds the tree with its standard folders and sample files (start-up).
void fs_init();

}  // namespace tavlin
