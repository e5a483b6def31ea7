// The back buffer and the primitive drawing operations. Everything is drawn
// into backbuf (row stride fb_width) and copied out by present(); every
// operation clips to the screen.
#pragma once
#include "kernel/core/framebuffer.h"
#include "kernel/core/types.h"
#include "kernel/gfx/decoded_image.h"

namespace tavlin {

extern u32 backbuf[kMaxScreenWidth * kMaxScreenHeight];

struct ClipRect {
  i32 x0, y0, x1, y1;  // half-open
};

// The part of a inside b (empty, x0 >= x1 or y0 >= y1, when they do not meet).
inline ClipRect clip_intersect(const ClipRect& a, const ClipRect& b) {
  return {a.x0 > b.x0 ? a.x0 : b.x0, a.y0 > b.y0 ? a.y0 : b.y0, a.x1 < b.x1 ? a.x1 : b.x1,
          a.y1 < b.y1 ? a.y1 : b.y1};
}

void present();
// Copies only the screen's part of `area` out.
void present_area(const ClipRect& area);
void fill_rect(i32 x, i32 y, i32 w, i32 h, u32 colour);
void fill_rect_alpha(i32 x, i32 y, i32 w, i32 h, u32 colour, u32 alpha);
void draw_rect_outline(i32 x, i32 y, i32 w, i32 h, u32 colour);
void draw_text(i32 x, i32 y, const char* text, u32 colour, i32 scale);
void draw_text_centered(i32 cx, i32 cy, const char* text, u32 colour, i32 scale);
void text_truncate_ellipsis(const char* src, char* dst);
void draw_decoded_image(const DecodedImage* image, i32 x, i32 y, i32 dst_w, i32 dst_h);
// As draw_decoded_image, drawing only what falls inside clip (and the screen).
void draw_decoded_image_clipped(const DecodedImage* image, i32 x, i32 y, i32 dst_w, i32 dst_h, ClipRect clip);

// Single pixels, for the shaped fills: both clip.
void put_pixel(i32 x, i32 y, u32 colour);
void blend_pixel(i32 x, i32 y, u32 colour, u32 alpha);

// Per-channel floor((c * a + o * (255 - a)) / 255) for the three channels,
// with the colour's share (c & 0xFF00FF) * a and (c & 0x00FF00) * a given,
// so a fill of many pixels in one colour computes it once.
inline u32 blend_share(u32 share_rb, u32 share_g, u32 old, u32 inv_alpha) {
  u32 rb = share_rb + (old & 0xFF00FF) * inv_alpha;
  u32 g = (share_g + (old & 0x00FF00) * inv_alpha) >> 8;  // green as a 16-bit quantity
  // Exact division by 255 of each 16-bit lane: (x + 1 + (x >> 8)) >> 8.
  rb = ((rb + 0x00010001 + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
  g = ((g + 1 + (g >> 8)) >> 8) & 0xFF;
  return rb | (g << 8);
}

inline u32 blend_colour(u32 colour, u32 old, u32 alpha) {
  return blend_share((colour & 0xFF00FF) * alpha, (colour & 0x00FF00) * alpha, old, 255 - alpha);
}

}  // namespace tavlin
