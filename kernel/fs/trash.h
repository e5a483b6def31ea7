// The trash: copies of the descriptors of deleted nodes, kept so the Trash
// window can show what was deleted. Nothing is ever restored from it.
#pragma once
#include "kernel/core/types.h"
#include "kernel/fs/node_table.h"

namespace tavlin {

constexpr u32 kTrashCapacity = 64;

struct TrashItem {
  char name[kFsNameCap];
  u32 kind;
  char text[kFsTextCap];  // inline text of a text file, else empty
  u32 size;
  u32 has_blob;
  i32 blob;  // at deletion time; the blob itself is released by the deletion
};
static_assert(sizeof(TrashItem) == 556);
static_assert(__builtin_offsetof(TrashItem, kind) == 28);
static_assert(__builtin_offsetof(TrashItem, size) == 544);
static_assert(__builtin_offsetof(TrashItem, blob) == 552);

extern TrashItem trash_items[kTrashCapacity];
extern u32 trash_count;

void trash_add_item(const char* name, u32 kind, const char* text, u32 size, u32 has_blob, i32 blob);
// Records the node in the trash, then deletes exactly that node and all it
// holds. A node the tree will not delete (protected, or gone) leaves no
// record; 0 then.
u32 trash_node(i32 node);

}  // namespace tavlin
