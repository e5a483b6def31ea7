// A left press on a window: the resize grip, the three title-bar buttons
// and the title bar's drag, then the content's click areas by application:
// the Clock's time-zone buttons, the image viewer's zoom bar, TextEdit's
// caret, the browser, the Store and the Finder.
#include "kernel/apps/apps.h"
#include "kernel/apps/clock.h"
#include "kernel/apps/mediaplayer.h"
#include "kernel/codec/image_cache.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/finder_pointer.h"
#include "kernel/wm/window.h"

namespace tavlin::dispatch {
namespace {

constexpr i32 kGrip = 14;
constexpr i32 kTitleRows = 30;
constexpr i32 kButtonY = 15;
constexpr i32 kCloseX = 16, kMinimizeX = 36, kMaximizeX = 56;
constexpr i32 kButtonRadiusSq = 64;
constexpr i32 kContentTop = 30;
constexpr i32 kZoomStep = 10, kZoomMin = 10, kZoomMax = 800;

bool on_button(i32 centre_x, i32 dx, i32 dy) {
  const i32 ex = dx - centre_x;
  return ex * ex + dy * dy <= kButtonRadiusSq;
}

void start_resize(Window& w, i32 cx, i32 cy) {
  win_focus_and_raise(w);
  w.resizing = 1;
  w.resize_x0 = w.x;
  w.resize_y0 = w.y;
  w.resize_w0 = w.w;
  w.resize_h0 = w.h;
  w.resize_dx = w.x + w.w - cx;
  w.resize_dy = w.y + w.h - cy;
}

// Minimising does not focus: the window is leaving the screen.
void press_title_bar(Window& w, i32 cx, i32 cy) {
  const i32 dx = cx - w.x, dy = cy - (w.y + kButtonY);
  if (on_button(kCloseX, dx, dy)) {
    win_focus_and_raise(w);
    close_window(&w);
  } else if (on_button(kMinimizeX, dx, dy)) {
    win_minimize(w);
  } else if (on_button(kMaximizeX, dx, dy)) {
    win_focus_and_raise(w);
    win_toggle_maximize(w);
  } else {
    win_focus_and_raise(w);
    w.dragging = 1;
    w.drag_dx = cx - w.x;
    w.drag_dy = cy - w.y;
  }
}

void press_clock(const Window& w, i32 cx, i32 cy) {
  if (cy < w.y + w.h - 31 || cy >= w.y + w.h - 1) return;
  if (cx > w.x + 20 && cx <= w.x + 50 && timezone_offset_hours > kTimezoneMin)
    timezone_offset_hours = timezone_offset_hours - 1;
  if (cx >= w.x + w.w - 51 && cx < w.x + w.w - 21 && timezone_offset_hours < kTimezoneMax)
    timezone_offset_hours = timezone_offset_hours + 1;
}

i32 clamp_zoom(i32 z) { return z < kZoomMin ? kZoomMin : (z > kZoomMax ? kZoomMax : z); }

// The zoom at which the whole image fits the canvas below the toolbar.
i32 fit_zoom(const Window& w) {
  const DecodedImage* img = image_get_decoded(w.image_node);
  if (!img || !img->valid || img->width == 0 || img->height == 0) return 100;
  const i32 by_w = (w.w - 2) * 100 / static_cast<i32>(img->width);
  const i32 by_h = (w.h - 53) * 100 / static_cast<i32>(img->height);
  return clamp_zoom(by_w < by_h ? by_w : by_h);
}

void press_image_viewer(Window& w, i32 cx, i32 cy) {
  if (cy < w.y + 30 || cy > w.y + 51) return;
  if (cx > w.x + 8 && cx <= w.x + 24)
    w.zoom = clamp_zoom(w.zoom - kZoomStep);
  else if (cx > w.x + 70 && cx <= w.x + 90)
    w.zoom = clamp_zoom(w.zoom + kZoomStep);
  else if (cx > w.x + 90 && cx <= w.x + 120)
    w.zoom = fit_zoom(w);
}

void press_textedit(Window& w, i32 cx, i32 cy) {
  if (!in_textedit_text_area(w, cx, cy)) return;
  const i32 pos = textedit_position_at(w, cx, cy);
  if (pos < 0) return;
  w.te_caret = static_cast<u32>(pos);
  w.te_sel_anchor = w.te_sel_end = pos;
  w.te_mouse_select = 1;
  w.te_sel_active = 0;
}

bool press_content(Window& w, i32 cx, i32 cy) {
  win_focus_and_raise(w);
  switch (w.app) {
    case app::kClock: press_clock(w, cx, cy); break;
    case app::kFinder: finder_press(w, cx, cy); break;
    case app::kTextEdit: press_textedit(w, cx, cy); break;
    case app::kImageViewer: press_image_viewer(w, cx, cy); break;
    case app::kMediaPlayer: mediaplayer_press(w, cx, cy); break;
    case app::kBrowser: browser_app(&w, w.x + 1, w.y + kContentTop, w.w - 2, w.h - 31, 2, cx, cy); break;
    case app::kStore: return press_store(w, cx, cy);
    default: break;
  }
  return false;
}

}  // namespace

bool press_window(Window& w, i32 cx, i32 cy) {
  if (cx < w.x || cx >= w.x + w.w || cy < w.y || cy >= w.y + w.h) return false;
  // A window shrinking away is still hit, but takes no press: a minimise or
  // maximise would cancel the close and hold the slot for good.
  if (win_is_closing(w)) return false;
  if (!w.maximized && cx >= w.x + w.w - kGrip && cy >= w.y + w.h - kGrip) {
    start_resize(w, cx, cy);
    return false;
  }
  if (cy < w.y + kTitleRows) {
    press_title_bar(w, cx, cy);
    return false;
  }
  return press_content(w, cx, cy);
}

}  // namespace tavlin::dispatch
