// The top bar, drawn every frame: its background, the logo and name, the
// five menu titles (recording where each was drawn for the hit tests), the
// clock and the Wi-Fi indicator with its tooltip, then the open drop-down
// and the open context menu over everything below.
#include "kernel/wm/topbar.h"

#include "kernel/apps/clock.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/core/mouse.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/net/device_detect.h"
#include "kernel/wm/dispatch.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/menus.h"

namespace tavlin {
namespace {

constexpr u32 kBar = 0xE8E8E8;
constexpr u32 kBarLine = 0xC7C7C7;
constexpr u32 kInk = 0x1C1C1C;
constexpr u32 kGreyedInk = 0x9A9A9A;
constexpr u32 kHighlight = 0x0A84FF;
constexpr u32 kWhite = 0xFFFFFF;
constexpr u32 kMenuFace = 0xF7F7F7;
constexpr i32 kTextTop = 10;
constexpr i32 kTitlesStart = 130;
constexpr i32 kClockRightMargin = 16;

// The bar's colour under its white veils (alpha 55 over all of it, 25
// more over the top 14 rows): the veils lie on one flat colour, so each band
// is one colour, worked out once instead of blended pixel by pixel.
void draw_background(i32 W) {
  const u32 veiled = blend_colour(kWhite, kBar, 55);
  fill_rect(0, 0, W, 14, blend_colour(kWhite, veiled, 25));
  fill_rect(0, 14, W, kTopBarRows - 15, veiled);
  fill_rect(0, kTopBarRows - 1, W, 1, kBarLine);
}

void draw_logo() {
  fill_circle(20, 14, 7, kInk);
  fill_circle(23, 11, 3, kBar);
  draw_text(40, kTextTop, "TavlinOS", kInk, 1);
}

// Records each title's position as it is drawn, so a press always meets
// the layout the user saw.
void draw_titles() {
  i32 x = kTitlesStart;
  for (i32 i = 0; i < kTopMenuCount; ++i) {
    const i32 w = 8 * static_cast<i32>(strlen(top_menus[i].title)) + 22;
    topbar_menu_x[i] = x;
    topbar_menu_w[i] = w;
    if (i == open_menu) {
      fill_rounded_rect(x - kTitlePad, 2, w, 24, 5, kHighlight);
      draw_text(x, kTextTop, top_menus[i].title, kWhite, 1);
    } else {
      draw_text(x, kTextTop, top_menus[i].title, kInk, 1);
    }
    x += w;
  }
}

// Returns the clock text's left edge, which the Wi-Fi indicator hangs from.
i32 draw_clock(i32 W) {
  char text[8];
  format_clock_text(get_current_time_seconds(), text);
  const i32 cx = W - kClockRightMargin - 8 * static_cast<i32>(strlen(text));
  draw_text(cx, kTextTop, text, kInk, 1);
  return cx;
}

i32 signal_level(u32 percent) {
  if (percent > 75) return 4;
  if (percent > 50) return 3;
  if (percent > 25) return 2;
  return 1;
}

void draw_wifi_indicator(i32 cx) {
  if (wifi_adapter.connected) {
    const i32 level = signal_level(wifi_adapter.signal_percent);
    for (i32 i = 0; i < 4; ++i) {
      const i32 h = 3 * (i + 1);
      fill_rounded_rect(cx - 40 + 5 * i, 18 - h, 3, h, 1, i < level ? 0x28C840 : 0x444444);
    }
  } else if (wifi_adapter.type != 0) {
    draw_text(cx - 38, 8, "WiFi", 0x888888, 1);
  } else {
    draw_text(cx - 38, 8, "X", 0xCC3333, 1);
  }
}

// The network's name, just below the bar under the indicator, while the
// pointer rests on the indicator.
void draw_wifi_tooltip(i32 cx) {
  if (dock_hover >= 0 || !wifi_adapter.connected || !wifi_adapter.ssid[0]) return;
  if (mouse_y < 0 || mouse_y >= kTopBarRows || mouse_x < cx - 40 || mouse_x > cx - 13) return;
  const i32 w = 8 * static_cast<i32>(strlen(wifi_adapter.ssid)) + 8;
  const i32 left = cx - 26 - w / 2, top = kTopBarRows + 4;
  fill_rect_alpha(left + 2, top + 2, w, 18, 0x000000, 200);
  fill_rounded_rect(left, top, w, 18, 4, 0x333333);
  draw_text(left + 4, top + 6, wifi_adapter.ssid, kWhite, 1);
}

void draw_dropdown() {
  MenuBox box;
  if (!dropdown_box(open_menu, &box)) return;
  const TopMenu& menu = top_menus[open_menu];
  fill_rect_alpha(box.x + 4, box.y + 4, box.w, box.h, 0x000000, 50);
  fill_rounded_rect(box.x, box.y, box.w, box.h, 6, kBarLine);  // the outline shows round the face
  fill_rounded_rect(box.x + 1, box.y + 1, box.w - 2, box.h - 2, 5, kMenuFace);
  for (i32 i = 0; i < menu.count; ++i) {
    const i32 row = kDropdownFirstRow + kDropdownRow * i;
    const bool enabled = menu_action_available(menu.items[i].action);
    u32 ink = enabled ? kInk : kGreyedInk;
    if (enabled && i == menu_item_hover) {
      fill_rect(box.x + 2, row, box.w - 4, kDropdownRow, kHighlight);
      ink = kWhite;
    }
    draw_text(box.x + 12, row + 6, menu.items[i].label, ink, 1);
  }
}

// The same rectangle the pointer dispatcher tests, so what is seen is what
// answers.
void draw_context_menu() {
  if (!ctx_menu.active) return;
  i32 x, top, height;
  ctx_menu_rect(&x, &top, &height);
  fill_glass_panel(x, top, kCtxMenuWidth, height, 8);
  for (i32 i = 0; i < ctx_menu.count && i < kCtxMenuItems; ++i) {
    if (!ctx_menu.labels[i]) continue;
    const u32 ink = menu_action_available(ctx_menu.actions[i]) ? kInk : kGreyedInk;
    draw_text(x + 12, top + 12 + kCtxMenuRow * i, ctx_menu.labels[i], ink, 1);
  }
}

}  // namespace

void draw_topbar() {
  const i32 W = static_cast<i32>(fb_width);
  draw_background(W);
  draw_logo();
  draw_titles();
  const i32 cx = draw_clock(W);
  draw_wifi_indicator(cx);
  draw_wifi_tooltip(cx);
  draw_dropdown();
  draw_context_menu();
}

}  // namespace tavlin
