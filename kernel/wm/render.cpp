// Stand-in frame: a plain desktop and the pointer.
#include "kernel/wm/render.h"

#include "kernel/core/framebuffer.h"
#include "kernel/core/mouse.h"
#include "kernel/gfx/gfx.h"

namespace tavlin {

u32 frame_count;

void render_frame() {
  fill_rect(0, 0, static_cast<i32>(fb_width), static_cast<i32>(fb_height), 0x3A6EA5);
  draw_text(8, 8, "TavlinOS", 0xFFFFFF, 1);
  fill_rect(mouse_x, mouse_y, 3, 3, 0xFFFFFF);
  ++frame_count;
}

}  // namespace tavlin
