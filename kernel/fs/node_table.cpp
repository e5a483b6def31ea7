// The node table and the operations on its child lists. Every list walk is
// bounded by the table size, so even a damaged list cannot hang the system.
#include "kernel/fs/node_table.h"

#include "kernel/core/kstring.h"
#include "kernel/fs/standard_folders.h"

namespace tavlin {

FsNode fs_nodes[kFsMaxNodes];
FsBlob fs_blobs[kFsMaxBlobs];
u8 fs_blob_pool[kFsPoolSize];
u32 fs_blob_pool_used;
u32 fs_node_count;

namespace {

constexpr i32 kReservedEntry = 0;

// Length of a name, stopping once it is known to be too long.
u32 bounded_length(const char* s, u32 limit) {
  u32 n = 0;
  while (n <= limit && s[n]) ++n;
  return n;
}

}  // namespace

bool fs_name_is_valid(const char* name) {
  if (!name || !name[0]) return false;
  if (str_eq(name, ".") || str_eq(name, "..")) return false;
  const u32 length = bounded_length(name, kFsNameCap - 1);
  if (length > kFsNameCap - 1) return false;
  for (u32 i = 0; i < length; ++i)
    if (name[i] == '/') return false;
  return true;
}

namespace {

i32 lowest_free_slot() {
  for (i32 i = 1; i < kFsMaxNodes; ++i)
    if (fs_nodes[i].in_use == 0) return i;
  return kFsNone;
}

bool list_contains(i32 parent, i32 child) {
  return fs_walk_children(parent, [child](i32 at) { return at == child; }) >= 0;
}

// The conditions under which neither linking nor unlinking touches anything.
bool link_pair_ok(i32 parent, i32 child) {
  return fs_is_live_dir(parent) && fs_is_live(child) && child != parent &&
         child != kReservedEntry;
}

}  // namespace

void fs_node_zero(i32 node) {
  if (node < 0 || node >= kFsMaxNodes) return;
  FsNode& n = fs_nodes[node];
  memset(&n, 0, sizeof n);
  n.kind = kFsFile;
  n.parent = kFsNone;
  n.first_child = kFsNone;
  n.next_sibling = kFsNone;
  n.blob = kFsNone;
}

void fs_tables_reset() {
  for (i32 i = 0; i < kFsMaxNodes; ++i) fs_node_zero(i);
  for (i32 b = 0; b < kFsMaxBlobs; ++b) fs_blobs[b].in_use = 0;
  fs_node_count = 0;
  fs_blob_pool_used = 0;
  fs_nodes[kReservedEntry].in_use = 1;
  // The standard folders' indexes pointed into the table just cleared.
  fs_root = kFsNone;
  fs_desktop_dir = kFsNone;
}

i32 fs_create(i32 parent, const char* name, u32 kind) {
  if (!fs_name_is_valid(name) || (kind != kFsDir && kind != kFsFile)) return kFsNone;
  if (parent >= 0) {
    if (!fs_is_live_dir(parent)) return kFsNone;
    if (fs_find_child(parent, name) >= 0) return kFsNone;
  }
  const i32 slot = lowest_free_slot();
  if (slot < 0) return kFsNone;
  fs_node_zero(slot);
  FsNode& n = fs_nodes[slot];
  n.in_use = 1;
  n.kind = kind;
  str_copy(n.name, name, kFsNameCap);
  fs_node_count = fs_node_count + 1;
  if (parent >= 0) fs_link_child(parent, slot);
  return slot;
}

void fs_link_child(i32 parent, i32 child) {
  if (!link_pair_ok(parent, child)) return;
  if (fs_nodes[child].parent == parent || list_contains(parent, child)) return;
  FsNode& p = fs_nodes[parent];
  fs_nodes[child].parent = parent;
  fs_nodes[child].next_sibling = kFsNone;
  if (p.first_child < 0 || p.first_child >= kFsMaxNodes) {
    p.first_child = child;
    return;
  }
  i32 last = p.first_child;
  for (i32 steps = 0; steps < kFsMaxNodes; ++steps) {
    const i32 next = fs_nodes[last].next_sibling;
    if (next < 0 || next >= kFsMaxNodes) break;
    last = next;
  }
  fs_nodes[last].next_sibling = child;
}

void fs_unlink_child(i32 parent, i32 child) {
  if (!link_pair_ok(parent, child)) return;
  i32 previous = kFsNone;
  fs_walk_children(parent, [&previous, parent, child](i32 at) {
    if (at != child) {
      previous = at;
      return false;
    }
    const i32 next = fs_nodes[child].next_sibling;
    if (previous < 0)
      fs_nodes[parent].first_child = next;
    else
      fs_nodes[previous].next_sibling = next;
    fs_nodes[child].parent = kFsNone;
    fs_nodes[child].next_sibling = kFsNone;
    return true;
  });
}

i32 fs_find_child(i32 dir, const char* name) {
  if (!fs_is_live(dir) || !name || !name[0]) return kFsNone;
  return fs_walk_children(dir, [name](i32 at) { return fs_nodes[at].name[0] && str_eq(fs_nodes[at].name, name); });
}

u32 has_extension(const char* name, const char* ext) {
  if (!name || !ext) return 0;
  const u32 name_length = strlen(name);
  const u32 ext_length = strlen(ext);
  if (ext_length > name_length) return 0;
  return str_eq(name + name_length - ext_length, ext);
}

}  // namespace tavlin
