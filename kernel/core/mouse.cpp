// Mouse set-up on the 8042's auxiliary port and the packet handler with its
// smoothed-velocity acceleration.
#include "kernel/core/mouse.h"

#include "kernel/arch/hw.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/pic.h"
#include "kernel/core/ps2.h"

namespace tavlin {

u8 mouse_cycle;
u8 mouse_packet[3];
i32 mouse_vel_x, mouse_vel_y;
i32 mouse_x = 960, mouse_y = 540;
u8 mouse_buttons;
u8 pending_click_event;
i32 click_event_x, click_event_y;
u8 pending_rclick_event;
i32 rclick_event_x, rclick_event_y;

namespace {

constexpr u32 kMaxWaitPolls = 100000;
constexpr u8 kFlagsAlwaysOne = 0x08;
constexpr u8 kFlagsXSign = 0x10;
constexpr u8 kFlagsYSign = 0x20;
constexpr i32 kMaxCounts = 40;   // raw movement is clamped to +-40 per packet
constexpr i32 kMaxStep = 60;     // and the pointer moves at most 60 pixels
constexpr u8 kMouseSetDefaults = 0xF6;
constexpr u8 kMouseEnableReporting = 0xF4;
constexpr u8 kConfigAuxIrq = 0x02;
constexpr u8 kConfigAuxClockOff = 0x20;
constexpr u8 kIrq12Mask = 1u << (12 - 8);

i32 clamp(i32 v, i32 lo, i32 hi) { return v < lo ? lo : (v > hi ? hi : v); }
i32 abs32(i32 v) { return v < 0 ? -v : v; }

i32 accelerated_step(i32 velocity, i32 delta) {
  const i32 gain = (abs32(velocity) < 20 ? abs32(velocity) : 20) + 10;
  const i32 m = gain * delta;
  if (m > 609) return kMaxStep;
  if (m < -609) return -kMaxStep;
  return m / 10;
}

void write_command(u8 command) {
  mouse_wait(1);
  hw::outb(ps2::kCommand, command);
}

void write_data(u8 data) {
  mouse_wait(1);
  hw::outb(ps2::kData, data);
}

u8 read_data() {
  mouse_wait(0);
  return hw::inb(ps2::kData);
}

void process_packet() {
  const u8 flags = mouse_packet[0];
  i32 dx = mouse_packet[1];
  i32 dy = mouse_packet[2];
  if (flags & kFlagsXSign) dx -= 256;
  if (flags & kFlagsYSign) dy -= 256;
  dx = clamp(dx, -kMaxCounts, kMaxCounts);
  dy = clamp(dy, -kMaxCounts, kMaxCounts);

  mouse_vel_x = (7 * mouse_vel_x + 10 * dx) / 8;
  mouse_vel_y = (7 * mouse_vel_y + 10 * dy) / 8;
  const i32 max_x = fb_width ? static_cast<i32>(fb_width) - 1 : 0;
  const i32 max_y = fb_height ? static_cast<i32>(fb_height) - 1 : 0;
  // The device counts up as positive; the screen grows downwards.
  mouse_x = clamp(mouse_x + accelerated_step(mouse_vel_x, dx), 0, max_x);
  mouse_y = clamp(mouse_y - accelerated_step(mouse_vel_y, dy), 0, max_y);

  const u8 now = flags & 7;
  const u8 before = mouse_buttons;
  mouse_buttons = now;
  if ((now & kMouseLeft) && !(before & kMouseLeft)) {
    click_event_x = mouse_x;
    click_event_y = mouse_y;
    pending_click_event = 1;
  }
  if ((now & kMouseRight) && !(before & kMouseRight)) {
    rclick_event_x = mouse_x;
    rclick_event_y = mouse_y;
    pending_rclick_event = 1;
  }
}

}  // namespace

void mouse_wait(u32 kind) {
  for (u32 i = 0; i < kMaxWaitPolls; ++i) {
    const u8 status = hw::inb(ps2::kStatus);
    if (kind == 0 ? (status & ps2::kOutputFull) : !(status & ps2::kInputFull)) return;
  }
}

void mouse_init() {
  // Keep IRQ 12 masked while the acknowledge bytes are read by polling, so
  // the packet handler never mistakes them for movement.
  hw::outb(pic::kSlaveData, static_cast<u8>(hw::inb(pic::kSlaveData) | kIrq12Mask));
  write_command(ps2::kCmdEnableAux);
  write_command(ps2::kCmdReadConfig);
  const u8 config = read_data();
  write_command(ps2::kCmdWriteConfig);
  write_data(static_cast<u8>((config | kConfigAuxIrq) & ~kConfigAuxClockOff));
  write_command(ps2::kCmdWriteAux);
  write_data(kMouseSetDefaults);
  read_data();
  write_command(ps2::kCmdWriteAux);
  write_data(kMouseEnableReporting);
  read_data();
  mouse_cycle = 0;
  hw::outb(pic::kSlaveData, static_cast<u8>(hw::inb(pic::kSlaveData) & ~kIrq12Mask));
}

void mouse_handle_byte(u8 b) {
  switch (mouse_cycle) {
    case 0:
      if (!(b & kFlagsAlwaysOne)) return;  // out of step: wait for a flags byte
      mouse_packet[0] = b;
      mouse_cycle = 1;
      break;
    case 1:
      mouse_packet[1] = b;
      mouse_cycle = 2;
      break;
    default:
      mouse_packet[2] = b;
      mouse_cycle = 0;
      process_packet();
      break;
  }
}

void isr_mouse() {
  // A request latched while the line was masked during set-up arrives with
  // nothing to read; only real bytes are handled.
  if (hw::inb(ps2::kStatus) & ps2::kOutputFull) mouse_handle_byte(hw::inb(ps2::kData));
  pic::end_of_interrupt(12);
}

}  // namespace tavlin
