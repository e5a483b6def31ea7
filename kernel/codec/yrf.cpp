// Decoding of YRF images and of the bare run lists inside ZEVA frames.
#include "kernel/codec/yrf.h"

#include "kernel/codec/file_magic.h"
#include "kernel/codec/image_cache.h"
#include "kernel/core/byte_order.h"

namespace tavlin {
namespace {

// Walks the runs until `total` pixels are out, a zero count, or the data
// ends on a run boundary; a run cut short fails. `put` writes `n` pixels of
// an RGB565 colour at pixel index `at`. Returns the pixels written, or -1.
template <typename Put>
i64 walk_runs(const u8* data, u32 length, u32 total, Put put) {
  u32 done = 0;
  u32 off = 0;
  while (done < total && off < length) {
    const u32 count = data[off];
    if (count == 0) break;
    if (length - off < kRunSize) return -1;
    const u32 n = count < total - done ? count : total - done;
    put(done, n, be16(data + off + 1));
    done += n;
    off += kRunSize;
  }
  return done;
}

}  // namespace

u32 decode_yrf(const u8* content, u32 length, u32* out_width, u32* out_height) {
  if (!content || length < kYrfHeaderSize || !is_yrf_data(content, length)) return 0;
  const u32 width = be16(content + 4);
  const u32 height = be16(content + 6);
  if (width == 0 || height == 0 || width > kYrfMaxSide || height > kYrfMaxSide) return 0;
  const u32 total = width * height;
  u32* const out = image_decode_scratch;
  const i64 done = walk_runs(content + kYrfHeaderSize, length - kYrfHeaderSize, total, [out](u32 at, u32 n, u32 c) {
    const u32 argb = rgb565_to_argb(c);
    for (u32 i = 0; i < n; ++i) out[at + i] = argb;
  });
  if (done != total) return 0;
  *out_width = width;
  *out_height = height;
  return 1;
}

u32 decode_rle_to_u16(const u8* data, u32 length, u16* out, u32 width, u32 height) {
  const u32 total = width * height;
  if (length == 0 || !data) return total == 0 ? 1 : 0;
  const i64 done = walk_runs(data, length, total, [out](u32 at, u32 n, u32 c) {
    for (u32 i = 0; i < n; ++i) out[at + i] = static_cast<u16>(c);
  });
  return done == total ? 1 : 0;
}

void rgb565_buf_to_rgba(const u16* src, u32* dst, u32 count) {
  for (u32 i = 0; i < count; ++i) dst[i] = rgb565_to_argb(src[i]);
}

}  // namespace tavlin
