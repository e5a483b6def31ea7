// Nearest-neighbour scaled drawing of a decoded image with per-pixel alpha.
#include "kernel/gfx/draw_ops.h"
#include "kernel/gfx/gfx.h"

namespace tavlin {
namespace {

// The source column of each visible destination column, filled once a call.
u32 source_column[kMaxScreenWidth];

// floor(c * w / dst_w) for c = c0 .. c1 - 1, stepped without a division per
// column (a 64-bit division is a library call on the 32-bit target).
void map_columns(i32 c0, i32 c1, u32 w, u32 dst_w) {
  const u64 start = static_cast<u64>(c0) * w;
  u32 q = static_cast<u32>(start / dst_w), rem = static_cast<u32>(start % dst_w);
  for (i32 c = c0; c < c1; ++c) {
    source_column[c - c0] = q < w - 1 ? q : w - 1;
    rem += w;
    while (rem >= dst_w) {
      rem -= dst_w;
      ++q;
    }
  }
}

// The operation: where the picture goes, its clip, and which picture it is.
DrawOp image_op(const DecodedImage& image, i32 x, i32 y, i32 dst_w, i32 dst_h, const ClipRect& clip) {
  DrawOp op = make_draw_op(draw_op::kImage, x, y, dst_w, dst_h);
  op.area = clip_intersect(op.area, clip);
  const i32 identity[] = {clip.x0, clip.y0, clip.x1, clip.y1, image.key, static_cast<i32>(image.version),
                          static_cast<i32>(image.width), static_cast<i32>(image.height)};
  for (i32 i = 0; i < 8; ++i) op.v[4 + i] = identity[i];
  op.ref = reinterpret_cast<uptr>(&image);
  return op;
}

}  // namespace

void draw_decoded_image(const DecodedImage* image, i32 x, i32 y, i32 dst_w, i32 dst_h) {
  draw_decoded_image_clipped(image, x, y, dst_w, dst_h,
                             {0, 0, static_cast<i32>(fb_width), static_cast<i32>(fb_height)});
}

void draw_decoded_image_clipped(const DecodedImage* image, i32 x, i32 y, i32 dst_w, i32 dst_h, ClipRect clip) {
  if (!image || !image->valid || dst_w <= 0 || dst_h <= 0) return;
  const u32 w = image->width, h = image->height;
  if (w == 0 || h == 0 || w > kMaxImageSide || h > kMaxImageSide) return;
  DrawScope scope(image_op(*image, x, y, dst_w, dst_h, clip));
  if (!scope.paint()) return;
  // The clip never reaches past what painting may change.
  clip = clip_intersect(clip, paint_area());
  if (clip.y0 >= clip.y1) return;
  // Only destination rows and columns that land inside the clip are visited.
  const i32 r0 = y < clip.y0 ? clip.y0 - y : 0;
  const i32 r1 = static_cast<i64>(y) + dst_h > clip.y1 ? clip.y1 - y : dst_h;
  const i32 c0 = x < clip.x0 ? clip.x0 - x : 0;
  const i32 c1 = static_cast<i64>(x) + dst_w > clip.x1 ? clip.x1 - x : dst_w;
  if (c0 >= c1) return;
  map_columns(c0, c1, w, static_cast<u32>(dst_w));
  for (i32 r = r0; r < r1; ++r) {
    u32 sy = static_cast<u32>(static_cast<u64>(r) * h / static_cast<u32>(dst_h));
    if (sy > h - 1) sy = h - 1;
    const u32* src_row = image->pixels + static_cast<usize>(sy) * w;
    u32* dst_row = backbuf + static_cast<usize>(y + r) * fb_width + x;
    for (i32 c = c0; c < c1; ++c) {
      const u32 p = src_row[source_column[c - c0]];
      const u32 a = p >> 24;
      if (a == 0) continue;
      dst_row[c] = a == 255 ? (p & 0xFFFFFF) : blend_colour(p & 0xFFFFFF, dst_row[c], a);
    }
  }
}

}  // namespace tavlin
