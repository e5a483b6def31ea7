// The inflater on arbitrary raw DEFLATE streams.
#include <cstddef>
#include <cstdint>

#include "kernel/codec/inflate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size <= 2 * tavlin::kInflateOutSize) tavlin::inflate_raw(data, static_cast<tavlin::u32>(size));
  return 0;
}
