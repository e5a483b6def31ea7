// image_get_decoded and the four cache entries: which nodes are images, the
// cache lookup, and storing a fresh decode. A hit costs one comparison per
// entry and never looks at the content again.
#include "kernel/codec/image_cache.h"

#include "kernel/codec/file_magic.h"
#include "kernel/codec/png.h"
#include "kernel/codec/yrf.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"

namespace tavlin {

DecodedImage image_cache[kImageCacheEntries];
u32 image_decode_scratch[kMaxImagePixels];

namespace {

constexpr i32 kFreeEntry = -1;

// Bumped whenever a node's content may have changed: an entry decoded from
// the same node in the same count holds the same pixels.
u32 forget_count;
constexpr u32 kMinImageFile = 12;
constexpr u32 kExtensionLength = 4;  // ".yrf", ".png"

// A file without the blob flag still counts as an image by its name.
bool named_like_image(const char* name) {
  if (strlen(name) <= kExtensionLength) return false;
  return has_extension(name, ".yrf") || has_extension(name, ".png");
}

const u8* image_bytes(i32 node, u32* length) {
  if (!fs_is_live_file(node)) return nullptr;
  const FsNode& n = fs_nodes[node];
  if (n.has_blob != 1 && !named_like_image(n.name)) return nullptr;
  const u8* data = fs_blob_data(node, length);
  return data && *length > 0 ? data : nullptr;
}

DecodedImage* cached(i32 node) {
  for (DecodedImage& e : image_cache)
    if (e.key == node) return &e;
  return nullptr;
}

u32 decode_content(const u8* data, u32 length, u32* width, u32* height) {
  if (length < kMinImageFile) return 0;
  if (is_yrf_data(data, length)) return decode_yrf(data, length, width, height);
  if (!is_png_data(data, length)) return 0;
  return png_decode(data, length, width, height);
}

// The first free entry, or entry 0 when all four hold images.
DecodedImage* store(i32 node, u32 width, u32 height) {
  DecodedImage* e = &image_cache[0];
  for (DecodedImage& candidate : image_cache) {
    if (candidate.key < 0) {
      e = &candidate;
      break;
    }
  }
  e->key = node;
  e->version = forget_count;
  e->width = width;
  e->height = height;
  e->valid = 1;
  memcpy(e->pixels, image_decode_scratch, static_cast<usize>(width) * height * sizeof(u32));
  return e;
}

}  // namespace

void image_cache_init() {
  ++forget_count;
  for (DecodedImage& e : image_cache) {
    e.key = kFreeEntry;
    e.valid = 0;
  }
}

DecodedImage* image_get_decoded(i32 node) {
  u32 length = 0;
  const u8* data = image_bytes(node, &length);
  if (!data) return nullptr;
  if (DecodedImage* hit = cached(node)) return hit;
  u32 width = 0, height = 0;
  if (!decode_content(data, length, &width, &height)) return nullptr;
  return store(node, width, height);
}

void image_cache_forget(i32 node) {
  ++forget_count;
  for (DecodedImage& e : image_cache) {
    if (e.key == node) {
      e.key = kFreeEntry;
      e.valid = 0;
    }
  }
}

}  // namespace tavlin
