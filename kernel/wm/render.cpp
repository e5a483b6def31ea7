// render_frame: the whole desktop, repainted from the back to the front on
// every pass; nothing is kept from the previous frame.
#include "kernel/wm/render.h"

#include "kernel/apps/store.h"
#include "kernel/core/mouse.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/render_parts.h"
#include "kernel/wm/topbar.h"
#include "kernel/wm/wallpaper.h"

namespace tavlin {

u32 frame_count;
u32 last_dbg_tick;

void render_frame() {
  draw_wallpaper();
  if (show_desktop_icons) draw_desktop_icons();
  draw_desktop_rubber_band();
  draw_windows();
  draw_topbar();
  draw_dock();
  draw_dock_tooltip();
  if (upload_dialog.active) draw_upload_dialog();
  draw_pointer(mouse_x, mouse_y);
  frame_count = frame_count + 1;
}

}  // namespace tavlin
