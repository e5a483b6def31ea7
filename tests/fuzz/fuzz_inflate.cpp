// The inflater on arbitrary raw DEFLATE streams.

#include "kernel/codec/inflate.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  if (size <= 2 * tavlin::kInflateOutSize) tavlin::inflate_raw(data, static_cast<tavlin::u32>(size));
  return 0;
}
