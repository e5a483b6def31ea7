// Protection, delete and move. The root, the Desktop folder and the four
// standard folders under the root can be neither deleted nor moved.
#include "kernel/fs/tree_ops.h"

#include "kernel/codec/image_cache.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"

namespace tavlin {
namespace {

FsRemovalListener removal_listener = nullptr;

bool is_standard_folder_name(const char* name) {
  for (const char* standard : kStandardFolders)
    if (str_eq(name, standard)) return true;
  return false;
}

// A damaged table could make a child list lead back up the tree; the depth
// bound keeps removal finite whatever the lists say.
void remove_below(i32 node, i32 depth) {
  if (!fs_is_live(node) || node == 0 || fs_is_protected(node) || depth >= kFsMaxNodes) return;
  fs_walk_children(node, [depth](i32 child) {
    fs_nodes[child].next_sibling = kFsNone;
    remove_below(child, depth + 1);
    return false;
  });
  if (removal_listener) removal_listener(node);
  image_cache_forget(node);
  fs_blob_release(node);
  fs_node_zero(node);
  if (fs_node_count > 0) fs_node_count = fs_node_count - 1;
}

bool is_self_or_ancestor(i32 node, i32 of) {
  i32 at = of;
  for (i32 steps = 0; at >= 0 && at < kFsMaxNodes && steps < kFsMaxNodes; ++steps) {
    if (at == node) return true;
    at = fs_nodes[at].parent;
  }
  return false;
}

}  // namespace

u32 fs_is_protected(i32 node) {
  if (!fs_is_live(node)) return 0;
  if (node == fs_root || node == fs_desktop_dir) return 1;
  const FsNode& n = fs_nodes[node];
  if (n.kind == kFsDir && fs_root >= 0 && n.parent == fs_root && is_standard_folder_name(n.name))
    return 1;
  return 0;
}

void fs_set_removal_listener(FsRemovalListener listener) { removal_listener = listener; }

u32 fs_delete(i32 parent, const char* name) {
  if (!fs_is_live_dir(parent) || !name || !name[0]) return 0;
  return fs_delete_node(fs_find_child(parent, name));
}

u32 fs_delete_node(i32 node) {
  if (!fs_is_live(node) || node == 0 || fs_is_protected(node)) return 0;
  fs_remove_recursive(node);
  return 1;
}

u32 fs_rename(i32 node, const char* new_name) {
  if (!fs_is_live(node) || node == 0 || fs_is_protected(node)) return 0;
  if (!fs_name_is_valid(new_name)) return 0;
  FsNode& n = fs_nodes[node];
  if (str_eq(n.name, new_name)) return 1;
  if (fs_is_live_dir(n.parent) && fs_find_child(n.parent, new_name) >= 0) return 0;
  str_copy(n.name, new_name, kFsNameCap);
  return 1;
}

void fs_remove_recursive(i32 node) {
  // A caller that forgot to unlink first would leave its folder's list
  // running into a free slot; unlinking here is a no-op for everyone else.
  if (fs_is_live(node) && !fs_is_protected(node) && fs_is_live_dir(fs_nodes[node].parent)) {
    const i32 parent = fs_nodes[node].parent;
    fs_unlink_child(parent, node);
    // Out of the list, but the listener still learns where the node stood.
    fs_nodes[node].parent = parent;
  }
  remove_below(node, 0);
}

u32 fs_move(i32 node, i32 dest) {
  if (!fs_is_live(node) || !fs_is_live_dir(dest) || node == dest) return 0;
  if (node == 0 || fs_is_protected(node)) return 0;
  FsNode& n = fs_nodes[node];
  if (n.parent == dest) return 1;
  if (is_self_or_ancestor(node, dest)) return 0;
  if (fs_find_child(dest, n.name) >= 0) return 0;
  if (n.parent >= 0 && n.parent < kFsMaxNodes)
    fs_unlink_child(n.parent, node);
  else
    n.parent = kFsNone;
  fs_link_child(dest, node);
  return 1;
}

}  // namespace tavlin
