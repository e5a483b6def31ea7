// The start-up progress screen: logo area, progress track and a label.
#include "kernel/init/boot_screen.h"
#include "kernel/core/framebuffer.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"

namespace tavlin {
namespace {

constexpr i32 kTrackWidth = 200;

const char* progress_label(i32 percent) {
  if (percent == 100) return "Ready!";
  if (percent < 20) return "Initialising hardware...";
  if (percent < 40) return "Setting up memory...";
  if (percent < 60) return "Loading drivers...";
  if (percent < 80) return "Starting services...";
  return "Almost ready...";
}

}  // namespace

// The logo is drawn here once an embedded boot image can be decoded.
void draw_boot_logo();

void draw_boot_screen(i32 percent) {
  const i32 w = static_cast<i32>(fb_width), h = static_cast<i32>(fb_height);
  fill_rect(0, 0, w, h, 0x1C1C1E);
  draw_boot_logo();
  const i32 track_x = (w - kTrackWidth) / 2, track_y = h / 2 + 80;
  fill_rounded_rect(track_x, track_y, kTrackWidth, 3, 2, 0x3A3A3C);
  if (percent * kTrackWidth > 99)
    fill_rounded_rect(track_x, track_y, percent * kTrackWidth / 100, 3, 2, 0xFFFFFF);
  draw_text_centered(w / 2, h / 2 + 98, progress_label(percent), 0x888888, 1);
  present();
}

}  // namespace tavlin
