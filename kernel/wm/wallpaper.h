// The desktop wallpaper: columns of tall gradient capsules over a pale sky,
// scaled to the screen width.
#pragma once
#include "kernel/core/types.h"
#include "kernel/gfx/shapes.h"

namespace tavlin {

// One wallpaper column; lengths are in design units of 1/560 of the width.
struct WallpaperColumn {
  i32 width;
  i32 y_offset;
  i32 height;
  const ColourStop* stops;
  i32 stop_count;
  i32 circle;  // 1: a stack of discs and short capsules instead of one pill
};
static_assert(__builtin_offsetof(WallpaperColumn, height) == 8);

constexpr i32 kWallpaperColumns = 8;
extern const WallpaperColumn cols[kWallpaperColumns];

// Copies the wallpaper into the back buffer, painting it first when the
// screen size has changed since it was last painted.
void draw_wallpaper();
// Paints it from its columns (what draw_wallpaper caches).
void paint_wallpaper();

}  // namespace tavlin
