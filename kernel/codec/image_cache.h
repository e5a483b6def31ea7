// The decoded-image cache.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// Marks every cache entry empty (start-up).
void image_cache_init();
// Drops every entry decoded from this node (the node is being removed).
void image_cache_forget(i32 node);

}  // namespace tavlin
