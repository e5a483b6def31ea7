// Framebuffer discovery on arbitrary boot information blocks.
#include <cstring>
#include <vector>

#include "kernel/core/framebuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  if (size < 8) return 0;
  std::vector<tavlin::u8> block(data, data + size);
  const auto total = static_cast<tavlin::u32>(size);  // the loader never lies about the block's size
  std::memcpy(block.data(), &total, 4);
  tavlin::fb_ok = 0;
  tavlin::framebuffer_discover(block.data());
  return 0;
}
