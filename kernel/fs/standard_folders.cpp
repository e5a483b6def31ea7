// The Desktop folder and the favourite folders: found where they are, moved
// back under the root or made afresh when a user's changes lost them.
#include "kernel/fs/standard_folders.h"

#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/tree_ops.h"

namespace tavlin {

i32 fs_root = kFsNone;
i32 fs_desktop_dir = kFsNone;

const FinderFavorite finder_favorites[kFinderFavoriteCount] = {
    {"Desktop", kStandardFolders[0]},
    {"Documents", kStandardFolders[1]},
    {"Downloads", kStandardFolders[2]},
    {"Applications", kStandardFolders[3]},
};

namespace {

bool is_dir_named(i32 node, const char* name) {
  return fs_is_live_dir(node) && str_eq(fs_nodes[node].name, name);
}

bool is_root_desktop(i32 node) { return is_dir_named(node, kDesktopFolder) && fs_nodes[node].parent == fs_root; }

i32 lowest_dir_named(const char* name, i32 from) {
  for (i32 i = from; i < kFsMaxNodes; ++i)
    if (is_dir_named(i, name)) return i;
  return kFsNone;
}

void move_under_root(i32 node) {
  const i32 parent = fs_nodes[node].parent;
  if (fs_is_live_dir(parent)) fs_unlink_child(parent, node);
  fs_link_child(fs_root, node);
  fs_nodes[node].parent = fs_root;
}

// Removes a surplus Desktop folder with everything in it. The node itself is
// taken out, not the first child of that name, and a folder whose parent is
// gone is freed as a whole so no child is left pointing at a free slot.
void remove_extra_desktop(i32 node) {
  const i32 parent = fs_nodes[node].parent;
  if (fs_is_live_dir(parent)) fs_unlink_child(parent, node);
  fs_nodes[node].parent = kFsNone;
  fs_nodes[node].next_sibling = kFsNone;
  fs_remove_recursive(node);
}

}  // namespace

i32 ensure_desktop_dir() {
  // Without a root there is nowhere to put a Desktop.
  if (!fs_is_live_dir(fs_root)) return fs_root;
  if (is_root_desktop(fs_desktop_dir)) return fs_desktop_dir;
  for (i32 i = 0; i < kFsMaxNodes; ++i) {
    if (is_root_desktop(i)) {
      fs_desktop_dir = i;
      return i;
    }
  }

  const i32 found = lowest_dir_named(kDesktopFolder, 0);
  if (found < 0) {
    const i32 made = fs_create(fs_root, kDesktopFolder, kFsDir);
    if (made < 0) return fs_root;
    fs_desktop_dir = made;
    return made;
  }

  move_under_root(found);
  // The found folder becomes the Desktop before the others go, so a stale
  // fs_desktop_dir naming one of them does not shield it from removal.
  fs_desktop_dir = found;
  for (i32 extra = lowest_dir_named(kDesktopFolder, found + 1); extra >= 0;
       extra = lowest_dir_named(kDesktopFolder, extra + 1))
    remove_extra_desktop(extra);
  return found;
}

i32 finder_favorite_target(i32 i) {
  if (i < 0 || i >= kFinderFavoriteCount) return kFsNone;
  const char* folder = finder_favorites[i].folder;
  if (str_eq(folder, kDesktopFolder)) return ensure_desktop_dir();
  const i32 anywhere = lowest_dir_named(folder, 0);
  if (anywhere >= 0) return anywhere;
  // A file of that name under the root is not a folder to open: fall back
  // to a new folder, or to the root when the name is taken.
  const i32 made = fs_create(fs_root, folder, kFsDir);
  return made >= 0 ? made : fs_root;
}

}  // namespace tavlin
