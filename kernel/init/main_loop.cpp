// One pass of the main loop: input, animations, background jobs, a frame.
#include "kernel/apps/store.h"
#include "kernel/arch/hw.h"
#include "kernel/core/timer.h"
#include "kernel/fs/media_scan.h"
#include "kernel/gfx/damage.h"
#include "kernel/init/kmain.h"
#include "kernel/net/net_debug.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dispatch.h"
#include "kernel/wm/render.h"
#include "kernel/wm/window.h"

namespace tavlin {

u32 refresh_counter;

namespace {

constexpr u32 kPassesPerIconSync = 50;

}  // namespace

void main_loop_pass() {
  handle_mouse_logic();
  handle_keyboard_logic();
  win_end_finished_animations();
  downloads_media_scan();
  store_refresh_pending();
  if (net_debug_poll) net_debug_poll();  // linked into test images only
  refresh_counter = refresh_counter + 1;
  if (refresh_counter > kPassesPerIconSync - 1) {
    refresh_counter = 0;
    desktop_icons_sync();
  }
  render_damaged();
  present_damage();
}

void wait_for_next_tick() {
  const u32 target = ticks_now() + 1;
  while (!tick_reached(target)) hw::halt();
}

}  // namespace tavlin
