// The Trash window: opening it (or bringing back the one already open) and
// painting its toolbar count and the grid of trash records.
#include "kernel/apps/trash_window.h"

#include "kernel/apps/apps.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/fs/trash.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr i32 kTrashW = 420, kTrashH = 320;
constexpr i32 kToolbarH = 24;
constexpr i32 kGridLeft = 12, kGridTop = 36;
constexpr i32 kCellW = 90, kCellH = 78;
constexpr i32 kOneColumnUpTo = 113;
constexpr i32 kColumnMargin = 24;

i32 max_of(i32 a, i32 b) { return a > b ? a : b; }

Window* open_trash() {
  for (Window& w : windows)
    if (w.in_use && w.app == app::kTrash && !win_is_closing(w)) return &w;
  return nullptr;
}

void draw_toolbar(i32 x, i32 y, i32 w, u32 count) {
  if (w > 0) fill_rect(x, y, w, kToolbarH, 0xEFEFEF);
  fill_rect(x, y + kToolbarH - 1, w, 1, 0xC7C7C7);
  char text[24];
  int_to_str(static_cast<i32>(count), text, 1);
  str_cat(text, count == 1 ? " item" : " items");
  draw_text(x + 8, y + 6, text, 0x555555, 1);
}

void draw_record(const TrashItem& item, i32 ix, i32 iy) {
  if (item.kind == kFsDir) {
    fill_rounded_rect(ix, iy + 2, 17, 10, 3, 0xA8A8A8);
    fill_rounded_rect_vgrad(ix, iy + 8, 44, 36, 6, 0xE0E0E0, 0xB8B8B8);
    draw_rect_outline(ix, iy + 8, 44, 36, 0x888888);
  } else {
    fill_rounded_rect_vgrad(ix, iy, 44, 44, 4, 0xF0F0F0, 0xC8C8C8);
    draw_rect_outline(ix, iy, 44, 44, 0x888888);
  }
  char label[32];
  text_truncate_ellipsis(item.name, label);
  draw_text(ix + 22 - 4 * static_cast<i32>(strlen(label)), iy + 52, label, 0x1C1C1C, 1);
}

}  // namespace

void open_trash_window() {
  if (Window* existing = open_trash()) {
    win_restore_and_focus(*existing);
    return;
  }
  Window* w = win_alloc();
  if (!w) return;
  w->in_use = 1;
  w->app = app::kTrash;
  str_copy(w->title, "Trash", kWindowTitleCap);
  w->launch_tick = ticks_now();
  w->launched = 0;
  w->w = kTrashW;
  w->h = kTrashH;
  w->x = max_of(0, (static_cast<i32>(fb_width) - kTrashW) / 2);
  w->y = kTopBarHeight + max_of(0, static_cast<i32>(fb_height) - kDockReserve - kTrashH) / 2;
  w->z = next_z;
  next_z = next_z + 1;
  focused_window = win_index(*w);
}

void draw_app_trash(i32 x, i32 y, i32 w, i32 h) {
  const u32 count = trash_count < kTrashCapacity ? trash_count : kTrashCapacity;
  draw_toolbar(x, y, w, count);
  if (count == 0) {
    const char* empty = "Trash is Empty";
    draw_text(x + w / 2 - 4 * static_cast<i32>(strlen(empty)), y + kToolbarH + (h - kToolbarH) / 2 - 4, empty,
              0x999999, 1);
    return;
  }
  const i32 columns = w > kOneColumnUpTo ? (w - kColumnMargin) / kCellW : 1;
  for (u32 i = 0; i < count; ++i) {
    const i32 ix = x + kGridLeft + static_cast<i32>(i) % columns * kCellW;
    const i32 iy = y + kGridTop + static_cast<i32>(i) / columns * kCellH;
    if (iy + kCellH - 1 >= y + h) return;
    draw_record(trash_items[i], ix, iy);
  }
}

}  // namespace tavlin
