// Trash records. A full trash keeps its 64 records and ignores new ones; the
// deletion itself goes ahead regardless.
#include "kernel/fs/trash.h"

#include "kernel/core/kstring.h"
#include "kernel/fs/tree_ops.h"

namespace tavlin {

TrashItem trash_items[kTrashCapacity];
u32 trash_count;

void trash_add_item(const char* name, u32 kind, const char* text, u32 size, u32 has_blob, i32 blob) {
  if (trash_count >= kTrashCapacity) return;
  TrashItem& item = trash_items[trash_count];
  str_copy(item.name, name ? name : "", kFsNameCap);
  item.kind = kind;
  const bool inline_text = kind == kFsFile && has_blob == 0 && text;
  str_copy(item.text, inline_text ? text : "", kFsTextCap);
  item.size = size;
  item.has_blob = has_blob;
  item.blob = blob;
  trash_count = trash_count + 1;
}

u32 trash_node(i32 node) {
  if (!fs_is_live(node) || node == 0 || fs_is_protected(node)) return 0;
  const FsNode& n = fs_nodes[node];
  trash_add_item(n.name, n.kind, n.text, n.size, n.has_blob, n.blob);
  return fs_delete_node(node);
}

}  // namespace tavlin
