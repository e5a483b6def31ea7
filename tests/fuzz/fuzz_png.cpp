// image_get_decoded on an arbitrary file node. The blob is carved at the very
// end of the pool so a read past the content meets ASan's redzone.

#include "kernel/codec/image_cache.h"
#include "kernel/fs/node_table.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  using namespace tavlin;
  if (size == 0 || size > kFsPoolSize) return 0;
  fs_tables_reset();
  image_cache_init();
  fs_blob_pool_used = static_cast<u32>(kFsPoolSize - size);
  const i32 node = fs_create(-1, "fuzz.png", kFsFile);
  if (fs_set_image_content(node, data, static_cast<u32>(size))) image_get_decoded(node);
  return 0;
}
