// Stand-in image cache.
#include "kernel/codec/image_cache.h"

namespace tavlin {

void image_cache_init() {}
void image_cache_forget(i32) {}

}  // namespace tavlin
