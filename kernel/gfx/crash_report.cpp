// The crash report's picture: drawn over everything and presented at once,
// from the fault path, so it uses nothing but the back buffer.
#include "kernel/gfx/crash_report.h"

#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/gfx/draw_ops.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"

namespace tavlin {
namespace {

constexpr u32 kWhite = 0xFFFFFF;
constexpr u32 kSeparator = 0x552222;
constexpr u32 kHelpColour = 0x88AAFF;
constexpr i32 kLineHeight = 16;
constexpr u32 kMaxLogLine = 255;

// Draws each line of the log from y = 188 down; returns the y after the last.
i32 draw_log_lines(const char* log) {
  char line[kMaxLogLine + 1];
  i32 y = 188;
  const char* p = log;
  while (*p) {
    u32 n = 0;
    while (p[n] && p[n] != '\n') ++n;
    const u32 keep = n < kMaxLogLine ? n : kMaxLogLine;
    memcpy(line, p, keep);
    line[keep] = 0;
    draw_text(18, y, line, 0xCCAAAA, 1);
    y += kLineHeight;
    p += n;
    if (*p == '\n') ++p;
  }
  return y;
}

}  // namespace

void draw_crash_screen(const char* code, const char* log) {
  paint_reset();  // a fault may strike while a frame is being listed
  const i32 w = static_cast<i32>(fb_width), h = static_cast<i32>(fb_height);
  fill_rect(0, 0, w, h, 0x000000);
  draw_text(66, 20, "TavlinOS didnt like your petting", 0xFF5B4C, 2);
  draw_text(66, 40, "Be more gentle and next time dont do the same thing.", 0xFFAAAA, 1);
  fill_rect(10, 70, w - 20, 1, kSeparator);
  draw_text(10, 86, "(Being serious) The Tavlin GC uncovered an unexpected bug, crashing the OS.",
            0xFF8888, 1);
  draw_text(10, 102, "None of your unsaved work could be preserved.", 0xFF8888, 1);
  draw_text(10, 128, "Error code:", kWhite, 1);
  fill_rounded_rect(10, 142, 8 * static_cast<i32>(strlen(code)) + 16, 16, 3, 0x3A1010);
  draw_text(18, 144, code, 0xFFB347, 1);
  draw_text(10, 172, "Log:", kWhite, 1);
  const i32 y = draw_log_lines(log);
  fill_rect(10, y + 10, w - 20, 1, kSeparator);
  draw_text(10, y + 26, "Get help:", kWhite, 1);
  draw_text(10, y + 42, "  Report it on the TavlinOS issue tracker, under Issues in the project's repository.",
            kHelpColour, 1);
  draw_text(10, y + 58, "  Please include a photo of this screen with the error code and log above.",
            kHelpColour, 1);
  draw_text_centered(w / 2, h - 24, "Press ENTER to attempting restart TavlinOS", kWhite, 1);
  present();
}

}  // namespace tavlin
