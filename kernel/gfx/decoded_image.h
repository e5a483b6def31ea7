// A decoded image as the codecs produce it and the blitter draws it.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kMaxImageSide = 512;
constexpr u32 kMaxImagePixels = kMaxImageSide * kMaxImageSide;

struct DecodedImage {
  i32 key;     // node index it came from; -1 marks a free cache entry
  u32 valid;   // 1 when the pixels are usable
  u32 width;   // 1..512
  u32 height;  // 1..512
  u32 pixels[kMaxImagePixels];  // 0xAARRGGBB, row-major
  // Changes whenever the pixels may have changed while the record stayed
  // put, so a drawing of it can tell an old picture from a new one.
  u32 version;
};
static_assert(sizeof(DecodedImage) == 20 + 4 * kMaxImagePixels);

}  // namespace tavlin
