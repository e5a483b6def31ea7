// Typed paths and names through the file tree: resolving, creating a copy
// name, and the path of what was made resolving back to it.
#include "kernel/fs/fs.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  static const bool ready = (tavlin::fs_populate({}, {}, {}), true);
  char text[300] = {};
  __builtin_memcpy(text, data, size < sizeof text - 1 ? size : sizeof text - 1);
  char path[tavlin::kFsPathCap];
  tavlin::fs_path(tavlin::fs_resolve_path(text), path);
  const tavlin::i32 documents = tavlin::fs_find_child(tavlin::fs_root, "Documents");
  const tavlin::i32 made = tavlin::fs_create_unique(documents, text, tavlin::kFsFile);
  if (!ready || made < 0) return 0;
  tavlin::fs_path(made, path);
  if (tavlin::fs_resolve_path(path) != made) __builtin_trap();
  tavlin::fs_delete(documents, tavlin::fs_nodes[made].name);
  return 0;
}
