// ZEVA video: frames of runs that replace the current RGB565 picture (key
// frames) or are XOR-ed into it (delta frames). Owns the two picture buffers
// every player window shares.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kZevaHeaderSize = 12;
constexpr u32 kZevaFrameHeaderSize = 5;  // type byte, 32-bit data length
constexpr u32 kZevaMaxSide = 512;
constexpr u32 kZevaMaxPixels = kZevaMaxSide * kZevaMaxSide;
constexpr u8 kZevaKeyFrame = 1;

extern u16 video_prev_rgb565[kZevaMaxPixels];
extern u16 video_diff_rgb565[kZevaMaxPixels];

struct ZevaHeader {
  u32 width;
  u32 height;
  u32 frame_count;
};

// Reads the file header; 0 when the data is shorter than it or not "ZEVA".
u32 zeva_read_header(const u8* content, u32 size, ZevaHeader* out);

// Finds and checks frame k: returns null and its offset, or the message
// that says why it cannot be used.
const char* zeva_find_frame(const u8* content, u32 size, u32 k, u32* out_offset);

// Checks the frame that starts at offset (one zeva_find_frame located) and
// applies it to the current picture: a key frame replaces it, a delta frame
// is XOR-ed into it. Returns null, or the message for the user.
const char* zeva_apply_frame(const u8* content, u32 size, u32 width, u32 height, u32 offset);
// The offset of the frame after the one at offset; only for frames that
// lie wholly inside the content, as every frame before a found one does.
u32 zeva_next_frame(const u8* content, u32 offset);

// Decodes frame k into the current picture and converts the picture to
// 0xAARRGGBB into out (width x height values). Returns null on success,
// else the message for the user. A delta frame must follow the frame it was
// encoded against: the caller applies each frame once and in order.
const char* zeva_decode_frame(const u8* content, u32 size, u32 width, u32 height, u32 k, u32* out);

}  // namespace tavlin
