// The Clock: the wall-clock reading from the CMOS real-time clock (with the
// time-zone offset) and the Clock window's dial, digital time and offset row.
#include "kernel/apps/clock.h"

#include "kernel/apps/apps.h"
#include "kernel/arch/hw.h"
#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"

namespace tavlin {

i32 timezone_offset_hours;
const i32 sin_tab[13] = {0, 50, 87, 100, 87, 50, 0, -50, -87, -100, -87, -50, 0};

namespace {

constexpr u16 kCmosIndex = 0x70;
constexpr u16 kCmosData = 0x71;
constexpr u8 kRegSeconds = 0x00;
constexpr u8 kRegMinutes = 0x02;
constexpr u8 kRegHours = 0x04;
constexpr u8 kRegStatusA = 0x0A;  // bit 7: update in progress
constexpr u8 kRegStatusB = 0x0B;  // bit 1: 24-hour mode, bit 2: binary values
constexpr u8 kPmFlag = 0x80;
// An update lasts about 2 ms; a clock that never ends one (or is missing
// and reads 0xFF) must not stop the desktop.
constexpr u32 kUpdatePolls = 20000;

u8 cmos_read(u8 reg) {
  hw::outb(kCmosIndex, reg);
  return hw::inb(kCmosData);
}

u32 from_bcd(u8 v) { return (v >> 4) * 10u + (v & 0x0F); }

// The time read in the current hold of the tick (see ticks_hold), if any.
u32 read_in_hold;
u32 time_in_hold;

u32 read_time_of_day() {
  for (u32 i = 0; i < kUpdatePolls && (cmos_read(kRegStatusA) & 0x80); ++i) {
  }
  u8 hour_byte = cmos_read(kRegHours);
  u32 minutes = cmos_read(kRegMinutes);
  u32 seconds = cmos_read(kRegSeconds);
  const u8 status_b = cmos_read(kRegStatusB);
  const bool twelve_hour = !(status_b & 0x02);
  const bool pm = twelve_hour && (hour_byte & kPmFlag);
  if (twelve_hour) hour_byte = static_cast<u8>(hour_byte & ~kPmFlag);
  u32 hour = hour_byte;
  if (!(status_b & 0x04)) {
    hour = from_bcd(hour_byte);
    minutes = from_bcd(static_cast<u8>(minutes));
    seconds = from_bcd(static_cast<u8>(seconds));
  }
  if (twelve_hour) {
    if (hour == 12) hour = 0;
    if (pm) hour += 12;
  }
  // A faulty clock's out-of-range fields are folded back, so callers always
  // get a time of day.
  i32 local = static_cast<i32>(hour % 24) + timezone_offset_hours;
  while (local < 0) local += 24;
  while (local >= 24) local -= 24;
  return static_cast<u32>(local) * 3600 + (minutes % 60) * 60 + seconds % 60;
}

}  // namespace

// A frame is drawn in more than one sweep while the tick is held: the clock
// is read once a hold, so every sweep shows the same time.
u32 get_current_time_seconds() {
  if (tick_held && read_in_hold == tick_hold_serial) return time_in_hold;
  time_in_hold = read_time_of_day();
  read_in_hold = tick_held ? tick_hold_serial : 0;
  return time_in_hold;
}

void format_clock_text(u32 seconds, char* buf) {
  char part[12];
  int_to_str(static_cast<i32>(seconds / 3600 % 24), part, 2);
  str_copy(buf, part, 3);
  str_cat(buf, ".");
  int_to_str(static_cast<i32>(seconds / 60 % 60), part, 2);
  str_cat(buf, part);
}

namespace {

constexpr u32 kRim = 0x2C2C2E;
constexpr u32 kFace = 0xF5F5F5;
constexpr u32 kMark = 0x333333;
constexpr u32 kHand = 0x1C1C1E;
constexpr u32 kSecondHand = 0xFF5F57;
constexpr u32 kText = 0x1C1C1C;
constexpr u32 kButton = 0xDDDDDD;
constexpr i32 kFullTurn = 1200;  // dial units of 0.3 degrees
constexpr i32 kHandMarks = 20;

i32 sine(i32 angle) { return sin_tab[(angle % kFullTurn) / 100]; }
i32 cosine(i32 angle) { return sin_tab[((angle + 300) % kFullTurn) / 100]; }

// A hand as 21 marks along its vector, each a size x size square centred on
// its point (single pixels for size 1).
void draw_hand(i32 cx, i32 cy, i32 angle, i32 length, i32 size, u32 colour) {
  const i32 vx = length * sine(angle) / 100, vy = -length * cosine(angle) / 100;
  for (i32 k = 0; k <= kHandMarks; ++k) {
    const i32 px = cx + vx * k / kHandMarks, py = cy + vy * k / kHandMarks;
    if (size == 1)
      put_pixel(px, py, colour);
    else
      fill_rect(px - 1, py - 1, size, size, colour);
  }
}

void draw_digital_time(i32 cx, i32 top, u32 t) {
  char text[12], part[12];
  text[0] = 0;
  const u32 fields[3] = {t / 3600, t / 60 % 60, t % 60};
  for (u32 i = 0; i < 3; ++i) {
    int_to_str(static_cast<i32>(fields[i]), part, 2);
    if (i) str_cat(text, ":");
    str_cat(text, part);
  }
  draw_text_centered(cx, top + 4, text, kText, 1);
}

void draw_offset_row(i32 x, i32 y, i32 w, i32 h, i32 cx) {
  fill_rounded_rect(x + 20, y + h - 30, 30, 20, 5, kButton);
  draw_text(x + 31, y + h - 28, "-", kText, 1);
  fill_rounded_rect(x + w - 50, y + h - 30, 30, 20, 5, kButton);
  draw_text(x + w - 39, y + h - 28, "+", kText, 1);
  char label[16], number[12];
  str_copy(label, timezone_offset_hours >= 0 ? "UTC+" : "UTC", sizeof label);
  int_to_str(timezone_offset_hours, number, 1);
  str_cat(label, number);
  draw_text_centered(cx, y + h - 24, label, kText, 1);
}

}  // namespace

void draw_app_clock(i32 x, i32 y, i32 w, i32 h) {
  const i32 cx = x + w / 2, cy = y + h / 2 - 20;
  const i32 shorter = w < h ? w : h;
  const i32 r = shorter / 2 - 40 > 10 ? shorter / 2 - 40 : 10;
  fill_circle(cx, cy, r + 4, kRim);
  fill_circle(cx, cy, r, kFace);

  const u32 t = get_current_time_seconds();
  const i32 hour = static_cast<i32>(t / 3600), minute = static_cast<i32>(t / 60 % 60);
  const i32 second = static_cast<i32>(t % 60);
  const i32 hour_turn = hour % 12 == 0 ? kFullTurn : hour % 12 * 100;
  for (i32 a = 100; a <= kFullTurn; a += 100)
    fill_rect(cx + (r - 10) * sine(a) / 100 - 1, cy - (r - 10) * cosine(a) / 100 - 1, 3, 3, kMark);
  draw_hand(cx, cy, hour_turn + minute * 100 / 60, r - 30, 3, kHand);
  draw_hand(cx, cy, minute * 20, r - 16, 2, kHand);
  draw_hand(cx, cy, second * 20, r - 10, 1, kSecondHand);
  fill_circle(cx, cy, 3, kHand);

  draw_digital_time(cx, cy + r + 16, t);
  draw_offset_row(x, y, w, h, cx);
}

}  // namespace tavlin
