// The window table: eight window records holding each window's frame,
// animation state and the working state of the application it shows, with
// the operations that allocate, find, focus, maximise, minimise, restore
// and close windows.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct StoreState;

constexpr i32 kMaxWindows = 8;

// Application kinds, shared by windows, dock records and menus.
namespace app {
constexpr u32 kNone = 0;
constexpr u32 kAbout = 1;
constexpr u32 kClock = 2;
constexpr u32 kTerminal = 3;
constexpr u32 kFinder = 4;
constexpr u32 kTextEdit = 5;
constexpr u32 kImageViewer = 6;
constexpr u32 kTrash = 7;
constexpr u32 kBrowser = 8;
constexpr u32 kMediaPlayer = 9;
constexpr u32 kStore = 10;
constexpr u32 kProgram = 99;  // a window opened by a bytecode program
}  // namespace app

// Window animations (field anim_kind).
namespace anim {
constexpr u32 kNone = 0;
constexpr u32 kClose = 1;
constexpr u32 kMinimize = 2;
constexpr u32 kRestore = 3;
constexpr u32 kMaximize = 4;
constexpr u32 kUnmaximize = 5;
}  // namespace anim

constexpr i32 kTermLines = 14;
constexpr i32 kTermLineCap = 49;
constexpr i32 kTermInputCap = 48;
constexpr i32 kWindowTitleCap = 32;
constexpr i32 kDocTextCap = 512;
constexpr i32 kAppNameCap = 64;
constexpr i32 kTopBarHeight = 28;
constexpr i32 kDockReserve = 104;  // the top bar plus the dock's band

struct Window {
  // Frame and state.
  u32 in_use;
  u32 app;
  char title[kWindowTitleCap];
  i32 x, y, w, h;
  u32 dragging;
  i32 drag_dx, drag_dy;
  i32 z;
  u32 minimized;
  u32 maximized;
  i32 saved_x, saved_y, saved_w, saved_h;
  // Terminal.
  char term_lines[kTermLines][kTermLineCap];
  u32 term_line_count;
  char term_input[kTermInputCap];
  u32 term_input_len;
  i32 term_cwd;
  // Finder.
  i32 finder_dir;
  i32 finder_last_sel;
  u8 finder_sel[128];
  i32 finder_anchor;
  u32 finder_rubber_active;
  i32 finder_rubber_x0, finder_rubber_y0;
  i32 finder_rubber_x1, finder_rubber_y1;
  u32 finder_rubber_additive;
  // Launch feedback.
  u32 launch_tick;
  u32 launched;
  // Finder in-place rename.
  u32 finder_renaming;
  char finder_rename_text[28];
  // Animation.
  u32 anim_kind;
  u32 anim_start;
  i32 anim_from_x, anim_from_y, anim_from_w, anim_from_h;
  i32 anim_to_x, anim_to_y, anim_to_w, anim_to_h;
  u32 close_pending;
  u32 minimize_pending;
  // Double click in the Finder.
  u32 finder_click_tick;
  i32 finder_click_idx;
  // TextEdit.
  i32 te_line_h;
  i32 te_sel_anchor;
  i32 te_sel_end;
  u32 te_mouse_select;
  u32 te_sel_active;
  u32 te_modified;
  char te_undo_text[kDocTextCap];
  u32 te_undo_len;
  i32 doc_node;
  char text[kDocTextCap];
  u32 text_len;
  u32 te_caret;
  u32 te_scroll;
  // Image viewer.
  i32 image_node;
  i32 zoom;
  // Media player.
  i32 video_frame_count;
  i32 video_frame;
  u32 video_next_tick;
  u32 video_playing;
  u32 video_width;
  u32 video_height;
  // Finder entry drag.
  u32 item_drag_pending;
  i32 item_drag_dx, item_drag_dy;
  i32 item_drag_x0, item_drag_y0;
  u32 item_drag_moved;
  // Resizing.
  u32 resizing;
  i32 resize_dx, resize_dy;
  i32 resize_x0, resize_y0, resize_w0, resize_h0;
  // Other.
  char app_name[kAppNameCap];
  StoreState* store;
};
static_assert(__builtin_offsetof(Window, title) == 8);
static_assert(__builtin_offsetof(Window, x) == 40);
static_assert(__builtin_offsetof(Window, z) == 68);
static_assert(__builtin_offsetof(Window, saved_h) == 92);
static_assert(__builtin_offsetof(Window, term_lines) == 96);
static_assert(__builtin_offsetof(Window, term_line_count) == 784);
static_assert(__builtin_offsetof(Window, finder_dir) == 844);
static_assert(__builtin_offsetof(Window, launch_tick) == 1008);
static_assert(__builtin_offsetof(Window, anim_kind) == 1048);
static_assert(__builtin_offsetof(Window, te_undo_text) == 1128);
static_assert(__builtin_offsetof(Window, doc_node) == 1644);
static_assert(__builtin_offsetof(Window, image_node) == 2172);
static_assert(__builtin_offsetof(Window, app_name) == 2256);
static_assert(__builtin_offsetof(Window, store) == 2320);
static_assert(sizeof(void*) != 4 || sizeof(Window) == 2324);

extern Window windows[kMaxWindows];
extern i32 focused_window;
extern i32 next_z;

// Marks every slot free and resets focus and stacking (start-up, tests).
void windows_init();
Window* win_alloc();
Window* window_at(i32 px, i32 py);
// The slot index of a record of the table.
i32 win_index(const Window& win);
// The focused window when it names a slot in use, else null.
Window* win_focused();
// Gives the window the next stacking value and the keyboard focus, and ends
// its launch bounce.
void win_focus_and_raise(Window& win);
void win_restore_and_focus(Window& win);
void win_minimize(Window& win);
void win_toggle_maximize(Window& win);
void close_window(Window* win);

// Eased progress 0..100 of the window's running animation.
i32 win_anim_progress(const Window& win);
// True while the window plays its close animation, after which its slot is
// freed: it takes no presses and no longer counts as open.
inline bool win_is_closing(const Window& w) { return w.anim_kind == anim::kClose && w.close_pending; }
void win_start_anim(Window& win, u32 kind, i32 fx, i32 fy, i32 fw, i32 fh, i32 tx, i32 ty, i32 tw, i32 th);
// Ends animations that have run their course (one main-loop step): frees
// closed slots and hides minimised windows.
void win_end_finished_animations();

}  // namespace tavlin
