// "Tavlin Web": the browser's one entry point for the window manager, which
// opens its window, draws it, and hands it clicks and typed characters. The
// URL bar's editing and the toolbar and scrollbar presses live here.
#include "kernel/apps/apps.h"
#include "kernel/apps/browser.h"
#include "kernel/apps/browser_parts.h"
#include "kernel/core/kstring.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace browser {
namespace {

constexpr i32 kOpen = 0, kDraw = 1, kClick = 2, kKey = 3;
constexpr i32 kEnter = 10, kBackspace = 8;
constexpr u32 kUrlLongest = kBrowserUrlCap - 1;
constexpr const char* kScheme = "http://";
constexpr const char* kWelcome = "Tavlin Web\n\nThis browser only supports HTML and HTTP currently";

BrowserState& state() { return browser_state; }

// The window's title and size; the launcher places and focuses it, as it
// does every new window.
void open(Window& win) {
  str_copy(win.title, "Tavlin Web", kWindowTitleCap);
  win.w = 760;
  win.h = 520;
  BrowserState& b = state();
  memset(&b, 0, sizeof b);
  str_copy(b.url, kScheme, kBrowserUrlCap);
  b.url_bar_cursor = str_copy(b.url_bar, kScheme, kBrowserUrlCap);
  str_copy(b.status, "Ready", kBrowserStatusCap);
  b.text_len = str_copy(b.text, kWelcome, kBrowserTextCap);
  b.history_count = 1;
  str_copy(b.history[0], b.url, kBrowserUrlCap);
}

// The bar's text becomes the URL, with "http://" put in front when missing.
void enter() {
  BrowserState& b = state();
  if (!b.url_bar[0]) return;
  b.url_bar[kUrlLongest] = 0;
  if (str_starts_nocase(b.url_bar, kScheme)) {
    str_copy(b.url, b.url_bar, kBrowserUrlCap);
  } else {
    const u32 n = str_copy(b.url, kScheme, kBrowserUrlCap);
    str_copy(b.url + n, b.url_bar, kBrowserUrlCap - n);
  }
  b.url_bar_cursor = str_copy(b.url_bar, b.url, kBrowserUrlCap);
  navigate();
}

void key(i32 c) {
  BrowserState& b = state();
  if (!b.url_bar_focused) return;
  b.url_bar[kUrlLongest] = 0;
  u32 len = strlen(b.url_bar);
  if (c == kEnter) {
    enter();
    return;
  }
  if (c == kBackspace && len > 0) {
    b.url_bar[--len] = 0;
  } else if (c >= 32 && c <= 126 && len < kUrlLongest) {
    b.url_bar[len++] = static_cast<char>(c);
    b.url_bar[len] = 0;
  }
  b.url_bar_cursor = len;
}

// A press on the scrollbar grabs the thumb where it was pressed; a press on
// the track beside it first brings the thumb's middle under the pointer.
void grab_scrollbar(i32 w, i32 h, i32 my_in_track) {
  BrowserState& b = state();
  const PageLayout page = page_layout(w, h);
  const i32 free = page.track - page.thumb;
  const i32 hidden = page.lines - page.visible;
  if (page.thumb == 0 || free <= 0) return;
  if (my_in_track < page.thumb_top || my_in_track >= page.thumb_top + page.thumb) {
    i32 offset = my_in_track - page.thumb / 2;
    offset = offset < 0 ? 0 : (offset > free ? free : offset);
    b.scroll = static_cast<u32>(offset * hidden / free);
  }
  // Measured from the thumb's top rounded up, so that the mouse dispatcher,
  // which turns the thumb position back into a line, lands on this line.
  const i32 exact_top = (static_cast<i32>(b.scroll) * free + hidden - 1) / hidden;
  b.dragging = 1;
  b.drag_offset = my_in_track - exact_top;
}

bool within(i32 v, i32 from, i32 to) { return v >= from && v <= to; }

void click(i32 x, i32 y, i32 w, i32 h, i32 mx, i32 my) {
  BrowserState& b = state();
  if (within(my, y + kButtonTop, y + kButtonTop + kButtonSize - 1)) {
    const i32 dx = mx - x;
    if (within(dx, kBackX, kBackX + kButtonSize - 1)) return back();
    if (within(dx, kForwardX, kForwardX + kButtonSize - 1)) return forward();
    if (within(dx, kReloadX, kReloadX + kButtonSize - 1)) return reload();
    if (within(dx, kHomeX, kHomeX + kButtonSize - 1)) return home();
    if (within(dx, kUrlBarX, kUrlBarX + url_bar_width(w) - 1)) {
      b.url_bar_focused = 1;
      b.url_bar[kUrlLongest] = 0;
      b.url_bar_cursor = strlen(b.url_bar);
      return;
    }
  }
  if (within(mx, x + w - kTrackRight, x + w - kTrackRight + kTrackWidth - 1) &&
      within(my, y + kTrackTop, y + h - 21))  // down to the track's last row
    grab_scrollbar(w, h, my - (y + kTrackTop));
}

}  // namespace
}  // namespace browser

void browser_app(Window* win, i32 x, i32 y, i32 w, i32 h, i32 event, i32 a, i32 b) {
  switch (event) {
    case browser::kOpen:
      if (win) browser::open(*win);
      break;
    case browser::kDraw: browser::draw(x, y, w, h); break;
    case browser::kClick: browser::click(x, y, w, h, a, b); break;
    case browser::kKey: browser::key(a); break;
    default: break;
  }
}

}  // namespace tavlin
