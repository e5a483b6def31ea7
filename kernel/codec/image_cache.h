// The decoded-image cache: the last four images decoded from file nodes,
// keyed by node index, and the scratch buffer decoders write pixels into.
#pragma once
#include "kernel/gfx/decoded_image.h"

namespace tavlin {

constexpr u32 kImageCacheEntries = 4;

extern DecodedImage image_cache[kImageCacheEntries];
// Pixels of the decode in progress, before they are copied into an entry.
extern u32 image_decode_scratch[kMaxImagePixels];

// Marks every cache entry empty (start-up).
void image_cache_init();

// The decoded image of a file node (YRF or PNG, by content), from the cache
// or decoded now; null when the node is not a decodable image.
DecodedImage* image_get_decoded(i32 node);

// Frees the entry of a node that is being removed.
void image_cache_forget(i32 node);

}  // namespace tavlin
