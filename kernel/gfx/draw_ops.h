// Frame capture: while a frame is composed, each drawing operation can be
// written down (what it draws and the screen area it may change) instead of,
// or as well as, being painted, and painting can be held to one clip
// rectangle. Damage tracking compares the lists of two frames.
#pragma once
#include "kernel/core/types.h"
#include "kernel/gfx/gfx.h"

namespace tavlin {

// Operation kinds.
namespace draw_op {
constexpr u32 kFill = 1;
constexpr u32 kFillAlpha = 2;
constexpr u32 kPixel = 3;
constexpr u32 kBlendPixel = 4;
constexpr u32 kGlyph = 5;
constexpr u32 kImage = 6;
constexpr u32 kCircle = 7;
constexpr u32 kRoundedRect = 8;
constexpr u32 kGradientRect = 9;
constexpr u32 kGradientPill = 10;
constexpr u32 kWallpaper = 11;
constexpr u32 kCheckerboard = 12;
constexpr u32 kGlobe = 13;
constexpr u32 kPointer = 14;
}  // namespace draw_op

constexpr i32 kDrawOpValues = 12;

// One drawing operation: two with equal kind, values and reference paint the
// same pixels over the same background.
struct DrawOp {
  u32 kind;
  ClipRect area;           // the screen pixels it may change
  i32 v[kDrawOpValues];    // its own position, size, colours...
  uptr ref;                // the image or colour-stop table it reads
};

// The most operations a frame's list holds.
constexpr i32 kMaxFrameOps = 8192;

// A frame's operations in painting order.
struct DrawOpList {
  DrawOp* ops;
  i32 capacity;
  i32 count;
  bool overflow;  // some did not fit: the list no longer describes the frame
};

bool same_draw_op(const DrawOp& a, const DrawOp& b);

// An operation at (x, y, w, h) with its area clipped to the screen (64-bit
// ends, so huge sizes cannot wrap) and its values starting with x, y, w, h.
DrawOp make_draw_op(u32 kind, i64 x, i64 y, i64 w, i64 h);

// Starts a capture: operations are appended to `record` when given, checked
// one by one against `expect` when given, and painted only when `paint`
// (with neither list, a painting that does not count as outside a capture).
void capture_start(DrawOpList* record, const DrawOpList* expect, bool paint);
// Ends it; false when the operations differed from `expect`.
bool capture_stop();

// Painting reaches only the screen's part of `clip` until paint_clip_clear.
void paint_clip_set(const ClipRect& clip);
void paint_clip_clear();
// The clip in force, if any.
bool paint_clip_get(ClipRect* out);
// What painting may change now: the screen, or its part inside the clip.
ClipRect paint_area();
// The screen's part of r (empty when r lies off screen).
ClipRect on_screen(const ClipRect& r);
// Back to plain painting (no capture, no clip, the tick running), for the
// crash screen, which may interrupt a capture half-way.
void paint_reset();

// True when something painted the back buffer outside a capture (a whole
// redraw, a program's own drawing, the boot or crash screen) since the last
// call: no list describes what it holds.
bool take_painting_outside_capture();

// Entry of one drawing operation: notes it to the capture and says whether
// to paint. An operation built from others holds its scope while it runs, so
// only the outermost one is noted.
class DrawScope {
 public:
  explicit DrawScope(const DrawOp& op);
  ~DrawScope();
  DrawScope(const DrawScope&) = delete;
  DrawScope& operator=(const DrawScope&) = delete;
  // Whether to paint: painting is on and the operation's area meets what
  // painting may change.
  bool paint() const { return paints_; }

 private:
  bool paints_;
};

}  // namespace tavlin
