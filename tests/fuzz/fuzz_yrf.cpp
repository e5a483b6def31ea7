// decode_yrf on arbitrary files.

#include "kernel/codec/yrf.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  tavlin::u32 width = 0, height = 0;
  tavlin::decode_yrf(data, static_cast<tavlin::u32>(size), &width, &height);
  return 0;
}
