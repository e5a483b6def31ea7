// The PNG decoder for the subset the system shows: 8 bits per sample, no
// interlacing, colour types 0, 2, 3, 4 and 6, at most 512 x 512 pixels.
// Owns the work buffers of one decode; not reentrant.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kPngMinSize = 16;
constexpr u32 kIdatBufSize = 1048576;
constexpr u32 kPaletteBytes = 768;
constexpr u32 kTrnsBytes = 256;

extern u8 idat_buf[kIdatBufSize];
extern u8 palette[kPaletteBytes];
extern u8 trns[kTrnsBytes];

// Decodes a PNG held in memory into image_decode_scratch as 0xAARRGGBB.
// Returns 1 and the size, or 0 for anything outside the subset or damaged.
u32 png_decode(const u8* content, u32 length, u32* out_width, u32* out_height);

// Undoes the per-row filters in place: height rows of one filter byte and
// row_bytes bytes, bpp bytes per pixel.
void png_unfilter(u8* data, u32 row_bytes, u32 height, u32 bpp);

}  // namespace tavlin
