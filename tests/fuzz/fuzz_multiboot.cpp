// Framebuffer discovery on arbitrary boot information blocks.
#include <cstdint>
#include <cstring>
#include <vector>

#include "kernel/core/framebuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  std::vector<uint8_t> block(data, data + size);
  uint32_t total = static_cast<uint32_t>(size);  // the loader never lies about the block's size
  std::memcpy(block.data(), &total, 4);
  tavlin::fb_ok = 0;
  tavlin::framebuffer_discover(block.data());
  return 0;
}
