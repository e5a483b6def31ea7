// Every frame of an arbitrary ZEVA file, in order, as the player decodes them.
#include <cstddef>
#include <cstdint>

#include "kernel/codec/zeva.h"

static tavlin::u32 picture[tavlin::kZevaMaxPixels];

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tavlin::ZevaHeader h;
  if (!tavlin::zeva_read_header(data, static_cast<tavlin::u32>(size), &h)) return 0;
  for (tavlin::u32 k = 0; k < h.frame_count && k < 64; ++k)
    if (tavlin::zeva_decode_frame(data, static_cast<tavlin::u32>(size), h.width, h.height, k, picture)) break;
  return 0;
}
