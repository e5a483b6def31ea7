// Shaped fills built from clipped horizontal spans: discs, rounded and
// gradient rectangles, the wallpaper's gradient capsules, the glass panel and
// the globe symbol. Integer arithmetic only.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// A gradient stop: position in percent (0..100) along the shape's height.
struct ColourStop {
  i32 position;
  u32 colour;
};
static_assert(sizeof(ColourStop) == 8);

// The wallpaper's stop lists.
extern const ColourStop stopsA[6];
extern const ColourStop stopsB[4];
extern const ColourStop stopsC[5];
extern const ColourStop stopsD[5];
extern const ColourStop stopsE[3];
extern const ColourStop stopsF[4];
extern const ColourStop stopsG[4];
extern const ColourStop stopsCircleTop[2];
extern const ColourStop stopsCircleMid[3];
extern const ColourStop stopsCircleTail[2];

void fill_circle(i32 cx, i32 cy, i32 r, u32 colour);
void fill_rounded_rect(i32 x, i32 y, i32 w, i32 h, i32 r, u32 colour);
void fill_rounded_rect_vgrad(i32 x, i32 y, i32 w, i32 h, i32 r, u32 top, u32 bottom);
void wp_draw_gradient_pill(i32 x, i32 y, i32 w, i32 h, const ColourStop* stops, i32 count);
void fill_glass_panel(i32 x, i32 y, i32 w, i32 h, i32 r);
void draw_globe_outline(i32 cx, i32 cy, i32 r);

// The shared smoothstep: t in percent (0..99) -> eased percent (0..99).
inline i32 ease_percent(i32 t) { return (150 - t) * t * t / 5000; }
// Per-channel c0 + (c1 - c0) * e / 100, truncating toward zero.
u32 blend_eased(u32 from, u32 to, i32 e);

}  // namespace tavlin
