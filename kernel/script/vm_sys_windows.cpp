// The window calls. A program names its windows by handles the machine
// hands out, never by record addresses, and may touch only windows it
// opened itself that are still open.
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/script/vm_parts.h"
#include "kernel/wm/render.h"
#include "kernel/wm/window.h"

namespace tavlin::vm {
namespace {

constexpr u32 kSlotBits = 3;  // kMaxWindows slots
static_assert(kMaxWindows <= (1 << kSlotBits));

// Per slot, the handle this program holds for the window there (0: none).
u32 handles[kMaxWindows];
u32 next_serial = 1;

Window* owned_window(u32 handle) {
  const u32 slot = handle & ((1u << kSlotBits) - 1);
  if (handle == 0 || handles[slot] != handle) return nullptr;
  Window& w = windows[slot];
  if (!w.in_use || w.app != app::kProgram || win_is_closing(w)) return nullptr;
  return &w;
}

i32 clamp(i32 v, i32 low, i32 high) { return v < low ? low : (v > high ? high : v); }

// Centred horizontally, and vertically in the band between the top bar and
// the dock.
void place(Window& w) {
  const i32 free_x = static_cast<i32>(fb_width) - w.w;
  const i32 free_y = static_cast<i32>(fb_height) - kDockReserve - w.h;
  w.x = free_x > 0 ? free_x / 2 : 0;
  w.y = kTopBarHeight + (free_y > 0 ? free_y : 0) / 2;
}

}  // namespace

void program_windows_forget() {
  for (u32& h : handles) h = 0;
}

// title, w, h. A size beyond the screen (or below one pixel) is brought
// inside it, so nothing that draws or moves the window meets a size its
// arithmetic cannot hold.
i32 sys_win_new(Call& c) {
  const char* title = text_at(c.vm, address_arg(c, 0));
  if (!title) return 0;
  Window* w = win_alloc();
  if (!w) return 0;
  w->in_use = 1;
  w->app = app::kProgram;
  str_copy(w->title, title, kWindowTitleCap);
  w->w = clamp(c.arg[1], 1, static_cast<i32>(fb_width));
  w->h = clamp(c.arg[2], 1, static_cast<i32>(fb_height) - kTopBarHeight);
  place(*w);
  win_focus_and_raise(*w);
  const i32 slot = win_index(*w);
  if (next_serial >= (1u << (32 - kSlotBits))) next_serial = 1;  // never a handle of 0
  const u32 handle = (next_serial++ << kSlotBits) | static_cast<u32>(slot);
  handles[slot] = handle;
  return static_cast<i32>(handle);
}

i32 sys_win_close(Call& c) {
  const u32 handle = address_arg(c, 0);
  Window* w = owned_window(handle);
  if (!w) return 0;
  close_window(w);
  handles[win_index(*w)] = 0;
  return 1;
}

// Composes the desktop, the program's windows among the others, into the
// back buffer; the program draws over it and sleep shows the result.
i32 sys_win_redraw(Call&) {
  render_frame();
  return 1;
}

i32 sys_win_center(Call& c) {
  Window* w = owned_window(address_arg(c, 0));
  if (!w) return 0;
  place(*w);
  return 1;
}

// title, handle
i32 sys_win_title(Call& c) {
  const char* title = text_at(c.vm, address_arg(c, 0));
  if (!title) return 0;
  Window* w = owned_window(address_arg(c, 1));
  if (!w) return 0;
  str_copy(w->title, title, kWindowTitleCap);
  return 1;
}

}  // namespace tavlin::vm
