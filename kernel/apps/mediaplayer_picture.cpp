// The player's picture: ZEVA delta frames are XOR-ed into the picture, so
// each one must be applied exactly once and in order. This file knows which
// frame of which file the shared picture holds and brings it to the frame
// asked for by the shortest correct way.
#include "kernel/apps/mediaplayer.h"
#include "kernel/codec/yrf.h"
#include "kernel/codec/zeva.h"
#include "kernel/core/kstring.h"

namespace tavlin {

DecodedImage mediaplayer_picture;

namespace {

VideoSource held;
i32 held_frame = -1;  // -1: the picture matches no frame

bool same_source(const VideoSource& a, const VideoSource& b) {
  return a.data == b.data && a.size == b.size && a.width == b.width && a.height == b.height;
}

const char* apply_next(const VideoSource& src, i32 k) {
  u32 offset = 0;
  if (const char* fault = zeva_find_frame(src.data, src.size, static_cast<u32>(k), &offset)) return fault;
  return zeva_apply_frame(src.data, src.size, src.width, src.height, offset);
}

// Frame k was found, so every frame before it lies inside the file and the
// walk to it cannot leave the content. Without a key frame before k the
// deltas start from a black picture.
const char* rebuild(const VideoSource& src, i32 k) {
  u32 target = 0;
  if (const char* fault = zeva_find_frame(src.data, src.size, static_cast<u32>(k), &target)) return fault;
  u32 start = kZevaHeaderSize;
  for (u32 at = kZevaHeaderSize; at <= target; at = zeva_next_frame(src.data, at)) {
    if (src.data[at] == kZevaKeyFrame) start = at;
    if (at == target) break;
  }
  if (src.data[start] != kZevaKeyFrame) memset(video_prev_rgb565, 0, sizeof video_prev_rgb565);
  for (u32 at = start;; at = zeva_next_frame(src.data, at)) {
    if (const char* fault = zeva_apply_frame(src.data, src.size, src.width, src.height, at)) return fault;
    if (at == target) return nullptr;
  }
}

}  // namespace

const char* video_show_frame(const VideoSource& src, i32 k) {
  if (k < 0) return "Invalid video data";
  if (src.width > kZevaMaxSide || src.height > kZevaMaxSide) return "Frame too large";
  const bool same = same_source(src, held);
  if (same && held_frame == k) return nullptr;
  const bool next = same && held_frame >= 0 && held_frame + 1 == k;
  held_frame = -1;  // from here on the picture is being changed
  const char* fault = next ? apply_next(src, k) : rebuild(src, k);
  if (fault) return fault;
  held = src;
  held_frame = k;
  mediaplayer_picture.key = -1;
  ++mediaplayer_picture.version;
  mediaplayer_picture.valid = 1;
  mediaplayer_picture.width = src.width;
  mediaplayer_picture.height = src.height;
  rgb565_buf_to_rgba(video_prev_rgb565, mediaplayer_picture.pixels, src.width * src.height);
  return nullptr;
}

void video_picture_forget() {
  held = VideoSource{};
  held_frame = -1;
}

}  // namespace tavlin
