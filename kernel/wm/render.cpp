// Frame composition: the whole desktop, back to front, either painted whole
// (render_frame) or, on the main loop's passes, written down as a list of
// drawing operations, compared with the previous frame's list, and
// recomposed only inside the rectangles where the two differ.
#include "kernel/wm/render.h"

#include "kernel/apps/store.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/mouse.h"
#include "kernel/core/timer.h"
#include "kernel/gfx/damage.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/render_parts.h"
#include "kernel/wm/topbar.h"
#include "kernel/wm/wallpaper.h"

namespace tavlin {

u32 frame_count;
u32 frames_repainted_whole;
u32 last_dbg_tick;

namespace {

DrawOp op_store[2][kMaxFrameOps];
DrawOpList lists[2] = {{op_store[0], kMaxFrameOps, 0, false}, {op_store[1], kMaxFrameOps, 0, false}};
i32 newest;          // the list of the frame composed last
bool newest_whole;   // that list holds all of that frame
u32 listed_width, listed_height;

void compose() {
  draw_wallpaper();
  if (show_desktop_icons) draw_desktop_icons();
  draw_desktop_rubber_band();
  draw_windows();
  draw_topbar();
  draw_dock();
  draw_dock_tooltip();
  if (upload_dialog.active) draw_upload_dialog();
  draw_pointer(mouse_x, mouse_y);
}

// Recomposes each damaged rectangle, checking that the frame still draws
// what was listed; false when it does not (a drawing with side effects, such
// as two players taking turns with the one video picture), and the list no
// longer holds.
bool repaint_damage(const DrawOpList& listed) {
  bool same = true;
  for (i32 i = 0; i < damage_count() && same; ++i) {
    paint_clip_set(damage_rect(i));
    capture_start(nullptr, &listed, true);
    compose();
    same = capture_stop();
  }
  paint_clip_clear();
  return same;
}

// Lists the frame afresh into `list`, painting it too when asked.
void list_frame(DrawOpList& list, bool paint) {
  list.count = 0;
  list.overflow = false;
  capture_start(&list, nullptr, paint);
  compose();
  capture_stop();
}

// Paints the whole frame, listing it when it fits.
void repaint_whole(DrawOpList& list) {
  frames_repainted_whole = frames_repainted_whole + 1;
  list_frame(list, true);
  damage_add_screen();
}

}  // namespace

void compose_frame() {
  paint_clip_clear();
  capture_start(nullptr, nullptr, true);
  compose();
  capture_stop();
}

void render_frame() {
  paint_clip_clear();
  compose();  // outside a capture: the next render_damaged repaints whole
  frame_count = frame_count + 1;
}

void render_damaged() {
  ticks_hold();  // the listing and the repaint must draw the same instant
  const DrawOpList& before = lists[newest];
  DrawOpList& now = lists[1 - newest];
  list_frame(now, false);
  damage_clear();
  // A whole redraw or a program's drawing since the last pass left the back
  // buffer holding a picture no list describes.
  const bool comparable = !take_painting_outside_capture() && newest_whole && listed_width == fb_width &&
                          listed_height == fb_height;
  if (now.overflow)
    repaint_whole(now);
  else if (!comparable)
    damage_add_screen();
  else
    damage_between(before, now);
  if (!now.overflow && !repaint_damage(now)) repaint_whole(now);
  newest = 1 - newest;
  newest_whole = !now.overflow;
  listed_width = fb_width;
  listed_height = fb_height;
  frame_count = frame_count + 1;
  ticks_release();
}

}  // namespace tavlin
