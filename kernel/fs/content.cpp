// File content: blobs carved from the content pool and inline text. The pool
// is a bump allocator; freed blobs give back their table entry, never bytes.
#include "kernel/codec/image_cache.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"

namespace tavlin {

const u8* fs_blob_data(i32 node, u32* length) {
  if (length) *length = 0;
  if (!fs_is_live(node)) return nullptr;
  const i32 b = fs_nodes[node].blob;
  if (b < 0 || b >= kFsMaxBlobs || fs_blobs[b].in_use != 1) return nullptr;
  const FsBlob& blob = fs_blobs[b];
  // Entries only ever describe carved space, but a bad entry must not lead
  // a reader outside the pool.
  if (blob.offset > kFsPoolSize || blob.size > kFsPoolSize - blob.offset) return nullptr;
  if (length) *length = blob.size;
  return fs_blob_pool + blob.offset;
}

u32 fs_blob_alloc(u32 size, i32* out_index) {
  if (!out_index) return 0;
  if (size > kFsPoolSize - fs_blob_pool_used) return 0;
  for (i32 b = 0; b < kFsMaxBlobs; ++b) {
    if (fs_blobs[b].in_use) continue;
    fs_blobs[b].in_use = 1;
    fs_blobs[b].offset = fs_blob_pool_used;
    fs_blobs[b].size = size;
    fs_blob_pool_used += size;
    *out_index = b;
    return 1;
  }
  return 0;
}

void fs_blob_release(i32 node) {
  if (node < 0 || node >= kFsMaxNodes) return;
  FsNode& n = fs_nodes[node];
  if (n.blob >= 0 && n.blob < kFsMaxBlobs) fs_blobs[n.blob].in_use = 0;
  n.blob = kFsNone;
}

u32 fs_set_image_content(i32 node, const u8* data, u32 length) {
  if (!fs_is_live_file(node) || length == 0 || !data) return 0;
  FsNode& n = fs_nodes[node];
  const bool had_blob = n.blob != kFsNone || n.has_blob == 1;
  image_cache_forget(node);  // the decoded pixels describe the old content
  fs_blob_release(node);
  i32 b = kFsNone;
  if (!fs_blob_alloc(length, &b)) {
    // The old bytes are gone: leave an empty file rather than one whose
    // size and flag describe content it no longer has. A text file keeps
    // its text, which was never touched.
    if (had_blob) {
      n.size = 0;
      n.has_blob = 0;
      n.text[0] = 0;
    }
    return 0;
  }
  memcpy(fs_blob_pool + fs_blobs[b].offset, data, length);
  n.blob = b;
  n.has_blob = 1;
  n.size = length;
  n.text[0] = 0;
  return 1;
}

void fs_set_content(i32 node, const char* text) {
  if (!fs_is_live_file(node)) return;
  image_cache_forget(node);
  fs_blob_release(node);
  FsNode& n = fs_nodes[node];
  n.size = str_copy(n.text, text ? text : "", kFsTextCap);
  n.has_blob = 0;
}

}  // namespace tavlin
