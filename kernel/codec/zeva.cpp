// Frame seeking, checking and key/delta decoding of ZEVA video.
#include "kernel/codec/zeva.h"

#include "kernel/codec/file_magic.h"
#include "kernel/codec/yrf.h"
#include "kernel/core/byte_order.h"

namespace tavlin {

u16 video_prev_rgb565[kZevaMaxPixels];
u16 video_diff_rgb565[kZevaMaxPixels];

namespace {

constexpr u32 kMinSeekSize = 16;  // a file must be longer than this to hold frame 0

inline u32 frame_length(const u8* content, u32 offset) { return be32(content + offset + 1); }

}  // namespace

u32 zeva_read_header(const u8* content, u32 size, ZevaHeader* out) {
  if (!content || size < kZevaHeaderSize || !is_zeva_data(content, size)) return 0;
  out->width = be16(content + 4);
  out->height = be16(content + 6);
  out->frame_count = be32(content + 8);
  return 1;
}

const char* zeva_find_frame(const u8* content, u32 size, u32 k, u32* out_offset) {
  u64 offset = kZevaHeaderSize;
  if (k >= 1) {
    if (size <= kMinSeekSize) return "Frame offset overflow";
    for (u32 i = 0; i < k; ++i) {
      // Frame 0's header is inside a file of more than 16 bytes; each later
      // one was checked before the step that reached it.
      const u32 len = frame_length(content, static_cast<u32>(offset));
      if (len == 0 || offset + kZevaFrameHeaderSize + len > size) return "Frame seek overflow";
      offset += kZevaFrameHeaderSize + len;
      if (i + 1 < k && offset + kZevaFrameHeaderSize > size) return "Frame offset overflow";
    }
  }
  if (offset + kZevaFrameHeaderSize > size) return "Frame data out of bounds";
  const u32 len = frame_length(content, static_cast<u32>(offset));
  if (len == 0 || len > size - (offset + kZevaFrameHeaderSize)) return "Invalid frame length";
  *out_offset = static_cast<u32>(offset);
  return nullptr;
}

const char* zeva_apply_frame(const u8* content, u32 size, u32 width, u32 height, u32 offset) {
  if (width > kZevaMaxSide || height > kZevaMaxSide) return "Frame too large";
  if (static_cast<u64>(offset) + kZevaFrameHeaderSize > size) return "Frame data out of bounds";
  const u32 len = frame_length(content, offset);
  if (len == 0 || len > size - (offset + kZevaFrameHeaderSize)) return "Invalid frame length";
  const u8* runs = content + offset + kZevaFrameHeaderSize;
  if (content[offset] == kZevaKeyFrame) {
    if (!decode_rle_to_u16(runs, len, video_prev_rgb565, width, height)) return "Keyframe decode error";
    return nullptr;
  }
  if (!decode_rle_to_u16(runs, len, video_diff_rgb565, width, height)) return "Delta decode error";
  const u32 pixels = width * height;
  for (u32 i = 0; i < pixels; ++i) video_prev_rgb565[i] ^= video_diff_rgb565[i];
  return nullptr;
}

u32 zeva_next_frame(const u8* content, u32 offset) {
  return offset + kZevaFrameHeaderSize + frame_length(content, offset);
}

const char* zeva_decode_frame(const u8* content, u32 size, u32 width, u32 height, u32 k, u32* out) {
  if (width > kZevaMaxSide || height > kZevaMaxSide) return "Frame too large";
  u32 offset = 0;
  if (const char* fault = zeva_find_frame(content, size, k, &offset)) return fault;
  if (const char* fault = zeva_apply_frame(content, size, width, height, offset)) return fault;
  rgb565_buf_to_rgba(video_prev_rgb565, out, width * height);
  return nullptr;
}

}  // namespace tavlin
