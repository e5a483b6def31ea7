// The node table, the blob table and the content pool that hold every file
// and folder, with the primitive operations on them: create, link, unlink,
// look up and set content. Nodes are named by index; -1 is "no node".
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr i32 kFsMaxNodes = 128;
constexpr i32 kFsMaxBlobs = 16;
constexpr u32 kFsPoolSize = 8 * 1024 * 1024;
constexpr u32 kFsNameCap = 28;  // 27 characters and a NUL
constexpr u32 kFsTextCap = 512;  // 511 characters and a NUL
constexpr u32 kFsDir = 0;
constexpr u32 kFsFile = 1;
constexpr i32 kFsNone = -1;

struct FsNode {
  u32 in_use;
  u32 kind;  // kFsDir or kFsFile
  char name[kFsNameCap];
  i32 parent;
  i32 first_child;
  i32 next_sibling;
  char text[kFsTextCap];  // inline content of a text file
  u32 size;
  u32 has_blob;
  i32 blob;
};
static_assert(sizeof(FsNode) == 572);
static_assert(__builtin_offsetof(FsNode, name) == 8);
static_assert(__builtin_offsetof(FsNode, parent) == 36);
static_assert(__builtin_offsetof(FsNode, next_sibling) == 44);
static_assert(__builtin_offsetof(FsNode, text) == 48);
static_assert(__builtin_offsetof(FsNode, size) == 560);
static_assert(__builtin_offsetof(FsNode, blob) == 568);

struct FsBlob {
  u32 in_use;
  u32 offset;  // into fs_blob_pool
  u32 size;
};
static_assert(sizeof(FsBlob) == 12);

extern FsNode fs_nodes[kFsMaxNodes];
extern FsBlob fs_blobs[kFsMaxBlobs];
extern u8 fs_blob_pool[kFsPoolSize];
extern u32 fs_blob_pool_used;
extern u32 fs_node_count;

// True for an index inside the table whose slot holds a live node.
inline bool fs_is_live(i32 node) {
  return node >= 0 && node < kFsMaxNodes && fs_nodes[node].in_use == 1;
}
inline bool fs_is_live_dir(i32 node) { return fs_is_live(node) && fs_nodes[node].kind == kFsDir; }
inline bool fs_is_live_file(i32 node) { return fs_is_live(node) && fs_nodes[node].kind == kFsFile; }

// Calls visit(child) along dir's child list until it returns true, and gives
// that child, or kFsNone at the end. A damaged list can neither leave the
// table nor loop: the walk stops at an index outside it or after as many
// steps as the table has slots. The next link is read before the visit, so
// the visit may unlink the child it is given.
template <typename Visit>
i32 fs_walk_children(i32 dir, Visit visit) {
  i32 at = fs_nodes[dir].first_child;
  for (i32 steps = 0; at >= 0 && at < kFsMaxNodes && steps < kFsMaxNodes; ++steps) {
    const i32 next = fs_nodes[at].next_sibling;
    if (visit(at)) return at;
    at = next;
  }
  return kFsNone;
}

// The bytes of a node's blob, or null when it has none in use. Readers take
// a file's bytes from here whatever its has_blob flag says.
const u8* fs_blob_data(i32 node, u32* length);

void fs_node_zero(i32 node);
// Empties both tables and the pool and reserves entry 0 (start-up and tests).
void fs_tables_reset();
// A name a node may take: not empty, not "." or "..", no '/', at most
// kFsNameCap - 1 characters.
bool fs_name_is_valid(const char* name);
i32 fs_create(i32 parent, const char* name, u32 kind);
void fs_link_child(i32 parent, i32 child);
void fs_unlink_child(i32 parent, i32 child);
i32 fs_find_child(i32 dir, const char* name);
u32 has_extension(const char* name, const char* ext);

u32 fs_blob_alloc(u32 size, i32* out_index);
// Clears the node's blob entry, if it has one, and its blob index.
void fs_blob_release(i32 node);
u32 fs_set_image_content(i32 node, const u8* data, u32 length);
void fs_set_content(i32 node, const char* text);

}  // namespace tavlin
