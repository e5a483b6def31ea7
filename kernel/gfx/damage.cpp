// The damage list: adding with merging, and presenting it.
#include "kernel/gfx/damage.h"

#include "kernel/core/framebuffer.h"

namespace tavlin {
namespace {

ClipRect rects[kDamageRects];
i32 count;

bool overlap(const ClipRect& a, const ClipRect& b) {
  return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

ClipRect bounds(const ClipRect& a, const ClipRect& b) {
  return {a.x0 < b.x0 ? a.x0 : b.x0, a.y0 < b.y0 ? a.y0 : b.y0, a.x1 > b.x1 ? a.x1 : b.x1,
          a.y1 > b.y1 ? a.y1 : b.y1};
}

i64 area(const ClipRect& r) { return static_cast<i64>(r.x1 - r.x0) * (r.y1 - r.y0); }

void remove_at(i32 i) { rects[i] = rects[--count]; }

// The rectangle whose bounding box with r grows least over the two.
i32 closest(const ClipRect& r) {
  i32 best = 0;
  i64 best_growth = 0;
  for (i32 i = 0; i < count; ++i) {
    const i64 growth = area(bounds(rects[i], r)) - area(rects[i]);
    if (i == 0 || growth < best_growth) {
      best = i;
      best_growth = growth;
    }
  }
  return best;
}

}  // namespace

void damage_clear() { count = 0; }

void damage_add(const ClipRect& r) {
  ClipRect add = on_screen(r);
  if (add.x0 >= add.x1 || add.y0 >= add.y1) return;
  // Swallow every rectangle the new one overlaps, again after each growth;
  // with the list full, grow the closest one instead of adding.
  for (i32 i = 0; i < count;) {
    if (!overlap(rects[i], add)) {
      ++i;
      continue;
    }
    add = bounds(add, rects[i]);
    remove_at(i);
    i = 0;
  }
  if (count == kDamageRects) {
    const i32 i = closest(add);
    const ClipRect merged = bounds(add, rects[i]);
    remove_at(i);
    damage_add(merged);
    return;
  }
  rects[count++] = add;
}

void damage_add_screen() {
  count = 0;
  damage_add({0, 0, static_cast<i32>(fb_width), static_cast<i32>(fb_height)});
}

i32 damage_count() { return count; }

const ClipRect& damage_rect(i32 i) { return rects[i]; }

void present_damage() {
  for (i32 i = 0; i < count; ++i) present_area(rects[i]);
}

}  // namespace tavlin
