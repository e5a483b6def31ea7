// Shared set-up for the window manager's tests: a 1024 x 768 screen over the real back buffer, empty tables,
// the built-in dock, a root with a Desktop, the pointer off screen and the clock at a fixed tick.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/apps/store.h"
#include "kernel/core/mouse.h"
#include "kernel/core/timer.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/fs/trash.h"
#include "kernel/net/device_detect.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/menus.h"
#include "kernel/wm/node_release.h"
#include "kernel/wm/render.h"
#include "kernel/wm/window.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::test {

using Ints = std::vector<i32>;

class WmTest : public CanvasTest {
 protected:
  void SetUp() override {
    use_canvas(1024, 768);
    reset_desktop();
  }

 public:
  static void reset_desktop() {
    fake_hw::reset();
    windows_init();
    dock_reset_all();
    desktop_icons_reset();
    menus_reset();  // a menu left open would cover later frames
    device_detect_reset();
    show_desktop_icons = 1;
    std::memset(&upload_dialog, 0, sizeof upload_dialog);
    std::memset(vuzedezoz_idir_used, 0, sizeof vuzedezoz_idir_used);
    trash_count = 0;
    pit_ticks = last_dbg_tick = 100000;
    mouse_x = mouse_y = -100;
    fs_tables_reset();
    // "/" is no valid child name: the root is made by hand, as start-up does.
    fs_root = 1;
    fs_nodes[1].in_use = 1;
    fs_nodes[1].kind = kFsDir;
    std::strcpy(fs_nodes[1].name, "/");
    fs_node_count = 1;
    fs_desktop_dir = fs_create(fs_root, "Desktop", kFsDir);
    wm_watch_node_removals();
  }

  // A settled window (opened long ago, already clicked), focused.
  static Window& make_window(u32 kind, i32 x, i32 y, i32 w, i32 h, const char* title = "Win") {
    Window* win = win_alloc();
    EXPECT_NE(win, nullptr);
    win->in_use = 1;
    win->app = kind;
    std::strncpy(win->title, title, sizeof win->title - 1);
    win->x = x;
    win->y = y;
    win->w = w;
    win->h = h;
    win->launch_tick = pit_ticks - 1000;
    win->launched = 1;
    win_focus_and_raise(*win);
    return *win;
  }

  static i32 make_file(const char* name, const char* text = "") {
    const i32 n = fs_create(fs_desktop_dir, name, kFsFile);
    EXPECT_GE(n, 0) << name;
    fs_set_content(n, text);
    return n;
  }

  static i32 make_blob_file(const char* name, const std::vector<u8>& bytes) {
    const i32 n = fs_create(fs_desktop_dir, name, kFsFile);
    EXPECT_GE(n, 0) << name;
    EXPECT_EQ(fs_set_image_content(n, bytes.data(), static_cast<u32>(bytes.size())), 1u);
    return n;
  }

  static void advance(u32 ticks) { pit_ticks = pit_ticks + ticks; }

  static Ints frame(const Window& w) { return {w.x, w.y, w.w, w.h}; }

  // Live windows of one kind, or of any.
  static i32 windows_of(i32 kind = -1) {
    i32 n = 0;
    for (const Window& w : windows) n += w.in_use && (kind < 0 || w.app == u32(kind)) ? 1 : 0;
    return n;
  }
  static Window* first_of(u32 kind) {
    for (Window& w : windows)
      if (w.in_use && w.app == kind) return &w;
    return nullptr;
  }
};

}  // namespace tavlin::test
