// Protection of the standard folders, recursive delete and move.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

u32 fs_is_protected(i32 node);
// Deletes the child of that name (the Terminal's rm, which names files).
u32 fs_delete(i32 parent, const char* name);
// Deletes exactly this node and everything below it. Refused (0) for a
// protected node, the reserved entry or a free slot.
u32 fs_delete_node(i32 node);
// The one way to rename a node. Refuses (0, old name kept) an invalid name,
// a protected node, or a name another node already holds in its folder.
u32 fs_rename(i32 node, const char* new_name);
// Told of every node that leaves the table, before its slot is freed, so
// windows and dock records holding its index can let go of it.
using FsRemovalListener = void (*)(i32 node);
void fs_set_removal_listener(FsRemovalListener listener);
// Destroys a node and everything below it; the node must already be out of
// its parent's list.
void fs_remove_recursive(i32 node);
u32 fs_move(i32 node, i32 dest);

}  // namespace tavlin
