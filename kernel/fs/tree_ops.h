// Protection of the standard folders, recursive delete and move.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

u32 fs_is_protected(i32 node);
u32 fs_delete(i32 parent, const char* name);
// Destroys a node and everything below it; the node must already be out of
// its parent's list.
void fs_remove_recursive(i32 node);
u32 fs_move(i32 node, i32 dest);

}  // namespace tavlin
