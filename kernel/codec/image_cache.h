// The decoded-image cache.
#pragma once

namespace tavlin {

// Marks every cache entry empty (start-up).
void image_cache_init();

}  // namespace tavlin
