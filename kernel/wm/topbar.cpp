// Stand-in top bar: the bar's background and the system name, until the
// menus, the clock and the network indicator land here.
#include "kernel/wm/topbar.h"

#include "kernel/core/framebuffer.h"
#include "kernel/gfx/gfx.h"

namespace tavlin {

void draw_topbar() {
  const i32 W = static_cast<i32>(fb_width);
  fill_rect(0, 0, W, kTopBarRows, 0xE8E8E8);
  fill_rect_alpha(0, 0, W, kTopBarRows, 0xFFFFFF, 55);
  fill_rect_alpha(0, 0, W, 14, 0xFFFFFF, 25);
  fill_rect(0, kTopBarRows - 1, W, 1, 0xC7C7C7);
  draw_text(40, 10, "TavlinOS", 0x1C1C1C, 1);
}

}  // namespace tavlin
