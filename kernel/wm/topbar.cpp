// Stand-in top bar: the bar's background, the system name and the open
// context menu, until the titles, drop-downs, clock and network indicator
// land here.
#include "kernel/wm/topbar.h"

#include "kernel/core/framebuffer.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/wm/menus.h"

namespace tavlin {
namespace {

constexpr u32 kMenuText = 0x1C1C1C;

// The same rectangle the pointer dispatcher tests, so what is seen is what
// answers.
void draw_context_menu() {
  if (!ctx_menu.active) return;
  i32 x, top, height;
  ctx_menu_rect(&x, &top, &height);
  fill_glass_panel(x, top, kCtxMenuWidth, height, 8);
  for (i32 i = 0; i < ctx_menu.count && i < kCtxMenuItems; ++i)
    if (ctx_menu.labels[i]) draw_text(x + 12, top + 12 + kCtxMenuRow * i, ctx_menu.labels[i], kMenuText, 1);
}

}  // namespace

void draw_topbar() {
  const i32 W = static_cast<i32>(fb_width);
  fill_rect(0, 0, W, kTopBarRows, 0xE8E8E8);
  fill_rect_alpha(0, 0, W, kTopBarRows, 0xFFFFFF, 55);
  fill_rect_alpha(0, 0, W, 14, 0xFFFFFF, 25);
  fill_rect(0, kTopBarRows - 1, W, 1, 0xC7C7C7);
  draw_text(40, 10, "TavlinOS", 0x1C1C1C, 1);
  draw_context_menu();
}

}  // namespace tavlin
