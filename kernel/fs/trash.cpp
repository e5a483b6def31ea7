// Trash records. A full trash keeps its 64 records and ignores new ones; the
// deletion itself goes ahead regardless.
#include "kernel/fs/trash.h"

#include "kernel/core/kstring.h"

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

}  // namespace tavlin
