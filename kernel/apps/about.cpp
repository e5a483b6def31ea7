// About: the system's badge, name, version line, a few words on what it is
// and the time since start-up (whose text the Terminal's date shares).
// Nothing is kept between frames.
#include "kernel/apps/apps.h"
#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"

namespace tavlin {
namespace {

constexpr u32 kText = 0x1C1C1C;
constexpr u32 kMuted = 0x555555;
constexpr u32 kBadgeText = 0xF5F5F5;
constexpr i32 kBadgeScale = 3;
constexpr const char* kTitle = "TavlinOS Information";
constexpr const char* kVersion = "01-Beta \" Paper Lantern\"";
constexpr const char* kLines[] = {
    "TavlinOS is designed for simplicity and fun.",
    "If you discover any bugs or want support,",
    "come and talk to us in the TavlinOS chat.",
    "Built from ground up by a single developer",
};
constexpr i32 kLineTops[] = {110, 128, 146, 164};

// The first letters of the title's first two words.
void initials(const char* title, char* out) {
  out[0] = title[0];
  out[1] = 0;
  out[2] = 0;
  for (const char* p = title; *p; ++p) {
    if (*p == ' ' && p[1]) {
      out[1] = p[1];
      break;
    }
  }
}

}  // namespace

void uptime_text(u32 ticks, char* out) {
  const u32 s = ticks / kTicksPerSecond;
  const u32 fields[3] = {s / 3600, s / 60 % 60, s % 60};
  const char* units[3] = {"h ", "m ", "s"};
  str_copy(out, "Uptime: ", kUptimeTextCap);
  for (u32 i = 0; i < 3; ++i) {
    char number[12];
    int_to_str(static_cast<i32>(fields[i]), number, 1);
    str_cat(out, number);
    str_cat(out, units[i]);
  }
}

void draw_app_about(i32 x, i32 y) {
  fill_rounded_rect(x + 20, y + 20, 64, 64, 14, kMuted);
  char badge[3];
  initials(kTitle, badge);
  draw_text_centered(x + 52, y + 36 + 4 * kBadgeScale, badge, kBadgeText, kBadgeScale);
  draw_text(x + 100, y + 26, kTitle, kText, 2);
  draw_text(x + 100, y + 50, kVersion, kText, 1);
  for (u32 i = 0; i < 4; ++i) draw_text(x + 20, y + kLineTops[i], kLines[i], kText, 1);

  char uptime[kUptimeTextCap];
  uptime_text(ticks_now(), uptime);
  draw_text(x + 20, y + 200, uptime, kMuted, 1);
}

}  // namespace tavlin
