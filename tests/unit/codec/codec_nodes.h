// The kernel side of the codec tests: a decoder's result from the scratch buffer, and files holding a blob.
#pragma once
#include <string>

#include "kernel/codec/image_cache.h"
#include "kernel/fs/node_table.h"
#include "unit/codec/codec_builders.h"

namespace codec_test {

// Runs a decoder of the decode_yrf / png_decode shape over a file.
template <typename Decoder>
Decoded decode_with(Decoder decoder, const Bytes& file) {
  Decoded d;
  d.ok = decoder(file.data(), static_cast<tavlin::u32>(file.size()), &d.width, &d.height);
  if (d.ok) d.pixels.assign(tavlin::image_decode_scratch, tavlin::image_decode_scratch + size_t{d.width} * d.height);
  return d;
}

inline void fresh_tree_and_cache() {
  tavlin::fs_tables_reset();
  tavlin::image_cache_init();
}

// A parentless file holding `content` as a blob; has_blob as given.
inline tavlin::i32 blob_file(const std::string& name, const Bytes& content, tavlin::u32 has_blob = 1) {
  const tavlin::i32 node = tavlin::fs_create(-1, name.c_str(), tavlin::kFsFile);
  if (node < 0) return node;
  tavlin::fs_set_image_content(node, content.data(), static_cast<tavlin::u32>(content.size()));
  tavlin::fs_nodes[node].has_blob = has_blob;
  return node;
}

}  // namespace codec_test
