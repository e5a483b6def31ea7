// The in-memory file tree: one header for the rest of the system.
#pragma once
#include "kernel/fs/node_table.h"
#include "kernel/fs/paths.h"
#include "kernel/fs/sample_media.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/fs/trash.h"
#include "kernel/fs/tree_ops.h"

namespace tavlin {

// Builds the tree with its standard folders and sample files (start-up).
void fs_init();
// The same with the given sample files, so tests can vary them.
void fs_populate(const SampleFile& image_yrf, const SampleFile& image_png, const SampleFile& video);
// Hangs every live node whose parent is gone under the root.
void fs_reattach_orphans();

}  // namespace tavlin
