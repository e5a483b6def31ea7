// kmain: the start-up sequence, in the order each step depends on the last.
#include "kernel/init/kmain.h"

#include "kernel/arch/hw.h"
#include "kernel/codec/image_cache.h"
#include "kernel/core/crash_screen.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/interrupts.h"
#include "kernel/core/mouse.h"
#include "kernel/core/serial.h"
#include "kernel/fs/fs.h"
#include "kernel/gfx/crash_report.h"
#include "kernel/init/boot_screen.h"
#include "kernel/net/net_startup.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/node_release.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

// Keeps "Ready!" on screen for a moment; the counter lives in memory so the
// loop is not optimised away.
volatile u32 ready_pause_counter;

void pause_on_ready() {
  ready_pause_counter = 0;
  while (ready_pause_counter < 1000000) ready_pause_counter = ready_pause_counter + 1;
}

}  // namespace

void kernel_startup(const void* multiboot_info) {
  serial_init();
  serial_puts("\n[TavlinOS] kmain entered\n");
  crash_screen_set_painter(draw_crash_screen);

  if (!framebuffer_discover(multiboot_info)) hw::halt_forever();

  windows_init();
  wm_watch_node_removals();
  mouse_x = static_cast<i32>(fb_width / 2);
  mouse_y = static_cast<i32>(fb_height / 2);

  fs_init();
  dock_reset_dynamic();
  desktop_icons_reset();
  desktop_icons_sync();
  image_cache_init();
  draw_boot_screen(0);

  interrupts_init();
  mouse_init();
  draw_boot_screen(10);

  pci_list_devices();
  draw_boot_screen(30);

  const u32 card_up = nic_probe();
  draw_boot_screen(50);

  if (card_up) {
    arp_cache_clear();
    dhcp_configure();
  }

  draw_boot_screen(70);
  wifi_startup();
  draw_boot_screen(80);
  hda_detect();
  draw_boot_screen(90);
  draw_boot_screen(100);
  pause_on_ready();

  net_test_gateway();
}

}  // namespace tavlin

extern "C" void kmain(tavlin::u32 /*magic*/, const void* multiboot_info) {
  tavlin::kernel_startup(multiboot_info);
  for (;;) {
    tavlin::main_loop_pass();
    tavlin::wait_for_next_tick();
  }
}
