// draw_app_imageview: the zoom toolbar, the dark checkerboard canvas and the
// decoded image centred on it, scaled and alpha-blended pixel by pixel over
// the visible part of the canvas only.
#include "kernel/apps/apps.h"
#include "kernel/codec/image_cache.h"
#include "kernel/core/kstring.h"
#include "kernel/gfx/draw_ops.h"
#include "kernel/gfx/gfx.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr i32 kToolbar = 22;
constexpr i32 kSquare = 8;
constexpr i32 kZoomMin = 10, kZoomMax = 800;
constexpr u32 kToolbarColour = 0xEFEFEF, kRuleColour = 0xC7C7C7, kLabelInk = 0x1C1C1C;
constexpr u32 kCanvasColour = 0x2B2B2B, kSquareColour = 0x333333, kNoteInk = 0xAAAAAA;

// The checkerboard's two kinds of row, starting with a light or a dark square.
u32 board_row[2][kMaxScreenWidth];

void draw_toolbar(const Window& w, i32 x, i32 y, i32 width) {
  if (width <= 0) return;
  fill_rect(x, y, width, kToolbar, kToolbarColour);
  fill_rect(x, y + kToolbar - 1, width, 1, kRuleColour);
  char zoom[16];
  int_to_str(w.zoom, zoom, 1);
  str_cat(zoom, "%");
  draw_text(x + 8, y + 5, "- ", kLabelInk, 1);
  draw_text(x + 24, y + 5, zoom, kLabelInk, 1);
  draw_text(x + 70, y + 5, "+", kLabelInk, 1);
  draw_text(x + 90, y + 5, "Fit", kLabelInk, 1);
}

// Squares whose row and column offsets add up to an even count of squares
// are lighter; those at the edges are cut to the canvas. The two kinds of
// square row are laid out once and copied row by row.
void draw_checkerboard(const ClipRect& canvas) {
  DrawScope scope(make_draw_op(draw_op::kCheckerboard, canvas.x0, canvas.y0, static_cast<i64>(canvas.x1) - canvas.x0,
                               static_cast<i64>(canvas.y1) - canvas.y0));
  if (!scope.paint()) return;
  const ClipRect r = clip_intersect(canvas, paint_area());
  if (r.x0 >= r.x1 || r.y0 >= r.y1) return;
  const i32 width = r.x1 - r.x0;
  for (i32 x = r.x0; x < r.x1; ++x) {
    const bool even = (x - canvas.x0) / kSquare % 2 == 0;
    board_row[0][x - r.x0] = even ? kSquareColour : kCanvasColour;
    board_row[1][x - r.x0] = even ? kCanvasColour : kSquareColour;
  }
  for (i32 y = r.y0; y < r.y1; ++y)
    memcpy(backbuf + static_cast<usize>(y) * fb_width + r.x0, board_row[(y - canvas.y0) / kSquare % 2],
           static_cast<usize>(width) * sizeof(u32));
}

// One side of the drawn image: at least one pixel.
i32 scaled_side(u32 side, i32 zoom) {
  const i32 product = static_cast<i32>(side) * zoom;
  return product < 100 ? 1 : product / 100;
}

}  // namespace

void draw_app_imageview(Window* win, i32 x, i32 y, i32 w, i32 h) {
  if (!win) return;
  draw_toolbar(*win, x, y, w);
  const DecodedImage* img = image_get_decoded(win->image_node);
  const ClipRect canvas{x, y + kToolbar, x + w, y + h};
  if (w >= 1 && h - kToolbar >= 1) draw_checkerboard(canvas);
  const bool usable = img && img->valid && img->width >= 1 && img->height >= 1 && img->width <= kMaxImageSide &&
                      img->height <= kMaxImageSide;
  if (!usable) {
    draw_text_centered(x + w / 2, y + kToolbar + (h - kToolbar) / 2, "Cannot preview image", kNoteInk, 1);
    return;
  }
  // A zoom the controls cannot set is drawn as the nearest one they can.
  const i32 zoom = win->zoom < kZoomMin ? kZoomMin : (win->zoom > kZoomMax ? kZoomMax : win->zoom);
  const i32 dw = scaled_side(img->width, zoom), dh = scaled_side(img->height, zoom);
  const i32 dx = x + (w - dw) / 2, dy = y + kToolbar + (h - kToolbar - dh) / 2;
  draw_decoded_image_clipped(img, dx, dy, dw, dh, canvas);
}

}  // namespace tavlin
