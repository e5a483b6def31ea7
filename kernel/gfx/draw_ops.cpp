// The capture state behind DrawScope: where operations are recorded or
// checked, whether they paint, and the clip that painting keeps to.
#include "kernel/gfx/draw_ops.h"

#include "kernel/core/framebuffer.h"
#include "kernel/core/timer.h"

namespace tavlin {
namespace {

struct Capture {
  bool active;
  DrawOpList* record;
  const DrawOpList* expect;
  i32 expect_at;
  bool differs;
  bool paint = true;
  i32 depth;  // scopes open: only the outermost operation is noted
};
Capture capture;

bool clip_on;
ClipRect clip;
bool painted_outside;

ClipRect screen() { return {0, 0, static_cast<i32>(fb_width), static_cast<i32>(fb_height)}; }

i64 min64(i64 a, i64 b) { return a < b ? a : b; }
i64 max64(i64 a, i64 b) { return a > b ? a : b; }

void note(const DrawOp& op) {
  if (DrawOpList* list = capture.record) {
    if (list->count < list->capacity)
      list->ops[list->count++] = op;
    else
      list->overflow = true;
  }
  if (const DrawOpList* list = capture.expect) {
    if (capture.expect_at >= list->count || !same_draw_op(op, list->ops[capture.expect_at])) capture.differs = true;
    ++capture.expect_at;
  }
}

}  // namespace

bool same_draw_op(const DrawOp& a, const DrawOp& b) {
  if (a.kind != b.kind || a.ref != b.ref) return false;
  for (i32 i = 0; i < kDrawOpValues; ++i)
    if (a.v[i] != b.v[i]) return false;
  return true;
}

DrawOp make_draw_op(u32 kind, i64 x, i64 y, i64 w, i64 h) {
  DrawOp op{};
  op.kind = kind;
  const ClipRect s = screen();
  op.area.x0 = static_cast<i32>(max64(x, s.x0));
  op.area.y0 = static_cast<i32>(max64(y, s.y0));
  op.area.x1 = static_cast<i32>(max64(op.area.x0, min64(x + max64(w, 0), s.x1)));
  op.area.y1 = static_cast<i32>(max64(op.area.y0, min64(y + max64(h, 0), s.y1)));
  op.v[0] = static_cast<i32>(x);
  op.v[1] = static_cast<i32>(y);
  op.v[2] = static_cast<i32>(w);
  op.v[3] = static_cast<i32>(h);
  return op;
}

void capture_start(DrawOpList* record, const DrawOpList* expect, bool paint) {
  capture = Capture{true, record, expect, 0, false, paint, 0};
}

bool capture_stop() {
  const bool same = !capture.differs && (!capture.expect || capture.expect_at == capture.expect->count);
  capture = Capture{};
  return same;
}

void paint_clip_set(const ClipRect& r) {
  clip_on = true;
  clip = r;
}

void paint_clip_clear() { clip_on = false; }

bool paint_clip_get(ClipRect* out) {
  if (clip_on) *out = clip;
  return clip_on;
}

ClipRect on_screen(const ClipRect& r) { return clip_intersect(r, screen()); }

ClipRect paint_area() { return clip_on ? on_screen(clip) : screen(); }

void paint_reset() {
  capture = Capture{};
  clip_on = false;
  ticks_release();
}

bool take_painting_outside_capture() {
  const bool painted = painted_outside;
  painted_outside = false;
  return painted;
}

DrawScope::DrawScope(const DrawOp& op) {
  const ClipRect a = paint_area();
  paints_ = capture.paint && op.area.x0 < a.x1 && a.x0 < op.area.x1 && op.area.y0 < a.y1 && a.y0 < op.area.y1;
  if (capture.depth++ != 0) return;
  if (!capture.active) painted_outside = true;
  // An operation that changes no pixel of the screen is left out.
  if (op.area.x0 < op.area.x1 && op.area.y0 < op.area.y1) note(op);
}

DrawScope::~DrawScope() { --capture.depth; }

}  // namespace tavlin
