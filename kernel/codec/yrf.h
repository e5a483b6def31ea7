// YRF images and their run encoding: 3-byte runs of one RGB565 colour that
// fill a picture row by row. The same runs carry ZEVA video frames.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kYrfHeaderSize = 12;
constexpr u32 kYrfMaxSide = 512;
constexpr u32 kRunSize = 3;  // count byte, big-endian RGB565

// RGB565 to opaque 0xAARRGGBB; the low bits of each channel stay 0.
inline u32 rgb565_to_argb(u32 c) {
  return 0xFF000000u | ((c & 0xF800u) << 8) | ((c & 0x07E0u) << 5) | ((c & 0x001Fu) << 3);
}

// Decodes a YRF file into image_decode_scratch. Returns 1 and the size, or 0.
u32 decode_yrf(const u8* content, u32 length, u32* out_width, u32* out_height);

// Decodes headerless runs into width x height RGB565 values. Returns 1 only
// when exactly that many pixels were written.
u32 decode_rle_to_u16(const u8* data, u32 length, u16* out, u32 width, u32 height);

void rgb565_buf_to_rgba(const u16* src, u32* dst, u32 count);

}  // namespace tavlin
