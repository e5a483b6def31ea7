// Window animations: their durations, the eased progress that frame
// composition draws from, and the main loop's step that ends them.
#include "kernel/core/timer.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr u32 kCloseTicks = 16;
constexpr u32 kMinimizeTicks = 22;
constexpr u32 kRestoreTicks = 22;
constexpr u32 kMaximizeTicks = 16;

// Duration of an animation kind in ticks; 0 for none or an unknown kind.
u32 anim_duration(u32 kind) {
  switch (kind) {
    case anim::kClose: return kCloseTicks;
    case anim::kMinimize: return kMinimizeTicks;
    case anim::kRestore: return kRestoreTicks;
    case anim::kMaximize:
    case anim::kUnmaximize: return kMaximizeTicks;
    default: return 0;
  }
}

}  // namespace

void win_start_anim(Window& win, u32 kind, i32 fx, i32 fy, i32 fw, i32 fh, i32 tx, i32 ty, i32 tw, i32 th) {
  win.anim_kind = kind;
  win.anim_start = ticks_now();
  win.anim_from_x = fx;
  win.anim_from_y = fy;
  win.anim_from_w = fw;
  win.anim_from_h = fh;
  win.anim_to_x = tx;
  win.anim_to_y = ty;
  win.anim_to_w = tw;
  win.anim_to_h = th;
}

i32 win_anim_progress(const Window& win) {
  const u32 d = anim_duration(win.anim_kind);
  if (d == 0) return 100;
  const u32 e = ticks_now() - win.anim_start;
  if (e >= d) return 100;
  if (e * 100 < d) return 0;
  const i32 p = static_cast<i32>(e * 100 / d);
  if (p > 99) return 100;
  // Ease out: quick at first, slow near the end.
  return 100 - (100 - p) * (100 - p) / 100;
}

void win_end_finished_animations() {
  for (Window& w : windows) {
    if (!w.in_use || w.anim_kind == anim::kNone || win_anim_progress(w) < 100) continue;
    const u32 kind = w.anim_kind;
    w.anim_kind = anim::kNone;
    if (kind == anim::kClose && w.close_pending) {
      w.in_use = 0;
      if (focused_window == win_index(w)) focused_window = -1;
    } else if (kind == anim::kMinimize && w.minimize_pending) {
      w.minimized = 1;
      w.minimize_pending = 0;
      // Focused again while it was shrinking: a hidden window cannot keep
      // the keyboard.
      if (focused_window == win_index(w)) focused_window = -1;
    }
  }
}

}  // namespace tavlin
