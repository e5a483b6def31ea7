// File nodes for the image cache tests: a fresh table and files whose
// content is a blob, with or without the blob flag.
#pragma once
#include <string>

#include "kernel/codec/image_cache.h"
#include "kernel/fs/node_table.h"
#include "unit/codec/codec_builders.h"

namespace codec_test {

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
