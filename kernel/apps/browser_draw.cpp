// Paints the browser: the toolbar with its four buttons and the URL bar, the
// loading bar, the wrapped page (red when it is an error message) with its
// scrollbar, and the status line. The page is rewrapped on every frame.
#include "kernel/apps/browser.h"
#include "kernel/apps/browser_parts.h"
#include "kernel/core/kstring.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"

namespace tavlin::browser {
namespace {

constexpr u32 kToolbarColour = 0xDCDCDC;
constexpr u32 kButtonColour = 0xEEEEEE;
constexpr u32 kLabelColour = 0x222222;
constexpr u32 kAccent = 0x0A84FF;
constexpr u32 kBarOutline = 0xAAAAAA;
constexpr u32 kTextColour = 0x202020;
constexpr u32 kErrorColour = 0xCC3333;
constexpr u32 kTrackColour = 0xEEEEEE;
constexpr u32 kThumbColour = 0x999999;
constexpr u32 kStatusColour = 0xE8E8E8;
constexpr u32 kStatusText = 0x555555;
constexpr u32 kLineCap = 256;  // a drawn line holds at most 255 characters

i32 columns_for(i32 w) { return w <= 93 ? 8 : (w - 30) / 8; }

void draw_toolbar(i32 x, i32 y, i32 w) {
  fill_rect(x, y, w, kToolbarHeight, kToolbarColour);
  const i32 xs[] = {kBackX, kForwardX, kReloadX, kHomeX};
  const char* labels[] = {"<", ">", "R", "H"};
  for (u32 i = 0; i < 4; ++i) {
    fill_rounded_rect(x + xs[i], y + kButtonTop, kButtonSize, kButtonSize, 5, kButtonColour);
    draw_text(x + xs[i] + 8, y + kButtonTop + 8, labels[i], kLabelColour, 1);
  }
}

void draw_url_bar(i32 x, i32 y, i32 w) {
  const BrowserState& b = browser_state;
  const i32 bar_w = url_bar_width(w);
  const i32 bx = x + kUrlBarX, by = y + kButtonTop;
  // A one-pixel outline: the outline colour, then the white inside.
  fill_rounded_rect(bx, by, bar_w, kButtonSize, 6, b.url_bar_focused ? kAccent : kBarOutline);
  fill_rounded_rect(bx + 1, by + 1, bar_w - 2, kButtonSize - 2, 5, 0xFFFFFF);
  char shown[kBrowserUrlCap];
  str_copy(shown, b.url_bar, kBrowserUrlCap);
  const u32 len = strlen(shown);
  const u32 fits = static_cast<u32>((bar_w - 12) / 8);
  const char* tail = len > fits ? shown + (len - fits) : shown;
  draw_text(x + 124, by + 8, tail, kTextColour, 1);
  if (b.url_bar_focused) fill_rect(x + 124 + 8 * static_cast<i32>(strlen(tail)), by + 5, 1, 14, kAccent);
}

void draw_lines(i32 x, i32 y, const PageLayout& page) {
  const BrowserState& b = browser_state;
  const u32 colour = b.error ? kErrorColour : kTextColour;
  for (i32 i = 0; i < page.visible; ++i) {
    const i32 line = static_cast<i32>(b.scroll) + i;
    if (line >= page.lines) break;
    u32 from = line_starts[line];
    u32 to = line + 1 < page.lines ? line_starts[line + 1] : b.text_len;
    if (to > b.text_len) to = b.text_len;
    if (from > to) from = to;
    if (to > from && b.text[to - 1] == '\n') --to;
    if (to - from > kLineCap - 1) to = from + kLineCap - 1;
    char shown[kLineCap];
    memcpy(shown, b.text + from, to - from);
    shown[to - from] = 0;
    draw_text(x + kTextX, y + kFirstLine + kLineHeight * i, shown, colour, 1);
  }
}

void draw_scrollbar(i32 x, i32 y, i32 w, const PageLayout& page) {
  const i32 tx = x + w - kTrackRight, ty = y + kTrackTop;
  fill_rect(tx, ty, kTrackWidth, page.track, kTrackColour);
  if (page.thumb > 0) fill_rounded_rect(tx, ty + page.thumb_top, kTrackWidth, page.thumb, 4, kThumbColour);
}

}  // namespace

PageLayout page_layout(i32 w, i32 h) {
  BrowserState& b = browser_state;
  PageLayout page{};
  page.lines = browser_wrap_lines(b.text_len, columns_for(w), line_starts);
  page.visible = h <= 65 ? 1 : (h - 54) / kLineHeight;
  page.track = h - 58 > 1 ? h - 58 : 1;
  const i32 hidden = page.lines > page.visible ? page.lines - page.visible : 0;
  if (b.scroll > static_cast<u32>(hidden)) b.scroll = static_cast<u32>(hidden);
  if (hidden == 0) return page;
  const i32 thumb = page.track * page.visible / page.lines;
  page.thumb = thumb < 20 ? 20 : thumb;
  if (page.thumb > page.track) page.thumb = page.track;
  page.thumb_top = static_cast<i32>(b.scroll) * (page.track - page.thumb) / hidden;
  return page;
}

void draw(i32 x, i32 y, i32 w, i32 h) {
  const BrowserState& b = browser_state;
  draw_toolbar(x, y, w);
  draw_url_bar(x, y, w);
  if (b.loading) fill_rect(x, y + 33, w / 2, 3, kAccent);
  fill_rect(x, y + kToolbarHeight, w, h - kToolbarHeight, 0xFFFFFF);
  const PageLayout page = page_layout(w, h);
  draw_lines(x, y, page);
  draw_scrollbar(x, y, w, page);
  fill_rect(x, y + h - kStatusHeight, w, kStatusHeight, kStatusColour);
  char status[kBrowserStatusCap];
  str_copy(status, b.status, kBrowserStatusCap);
  draw_text(x + 6, y + h - 13, status, kStatusText, 1);
}

}  // namespace tavlin::browser
