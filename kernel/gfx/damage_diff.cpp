// damage_between: a greedy walk along two frames' operation lists. Equal
// operations are matched in order; at a difference the walk looks a short
// way ahead in both lists for the nearest pair that matches again, and
// everything skipped over is changed. Any matching kept in order is sound: a
// pixel that no changed operation reaches is painted by the same operations
// in the same order in both frames. A changed operation is also left out
// when an opaque fill later in its own list covers all of it: a matched fill
// is the same in both frames, and so is everything drawn over it, while a
// changed one is damage itself (or hidden in turn).
#include "kernel/gfx/damage.h"

namespace tavlin {
namespace {

constexpr i32 kLookAhead = 24;    // operations searched past a difference
constexpr i32 kMaxCovers = 32;    // opaque fills kept per list
constexpr i32 kMinCoverSide = 32;  // smaller fills hide too little to keep

struct Cover {
  i32 at;  // its index in the list
  ClipRect area;
};

// Per list: whether each operation is changed, and its large opaque fills.
struct Walk {
  const DrawOpList* list;
  u8 changed[kMaxFrameOps];
  Cover covers[kMaxCovers];
  i32 cover_count;
};
Walk walks[2];

// The skips (in before, in after) to the nearest matching pair within the
// look-ahead, nearest by their sum; false when there is none.
bool resync(const DrawOpList& before, i32 i, const DrawOpList& after, i32 j, i32* skip_before, i32* skip_after) {
  for (i32 d = 1; d <= kLookAhead; ++d) {
    for (i32 a = 0; a <= d; ++a) {
      const i32 b = d - a;
      if (i + a >= before.count || j + b >= after.count) continue;
      if (!same_draw_op(before.ops[i + a], after.ops[j + b])) continue;
      *skip_before = a;
      *skip_after = b;
      return true;
    }
  }
  return false;
}

void mark(Walk& w, i32 from, i32 to, u8 changed) {
  for (i32 i = from; i < to; ++i) w.changed[i] = changed;
}

void match(Walk& before, Walk& after) {
  const DrawOpList& b = *before.list;
  const DrawOpList& a = *after.list;
  i32 i = 0, j = 0;
  while (i < b.count && j < a.count) {
    if (same_draw_op(b.ops[i], a.ops[j])) {
      before.changed[i++] = 0;
      after.changed[j++] = 0;
      continue;
    }
    i32 skip_b = 1, skip_a = 1;  // no match near: both sides' operation count as changed
    resync(b, i, a, j, &skip_b, &skip_a);
    mark(before, i, i + skip_b, 1);
    mark(after, j, j + skip_a, 1);
    i += skip_b;
    j += skip_a;
  }
  mark(before, i, b.count, 1);
  mark(after, j, a.count, 1);
}

bool inside(const ClipRect& r, const ClipRect& outer) {
  return r.x0 >= outer.x0 && r.y0 >= outer.y0 && r.x1 <= outer.x1 && r.y1 <= outer.y1;
}

void collect_covers(Walk& w) {
  w.cover_count = 0;
  for (i32 i = 0; i < w.list->count && w.cover_count < kMaxCovers; ++i) {
    const DrawOp& op = w.list->ops[i];
    if (op.kind != draw_op::kFill) continue;
    if (op.area.x1 - op.area.x0 < kMinCoverSide || op.area.y1 - op.area.y0 < kMinCoverSide) continue;
    w.covers[w.cover_count++] = {i, op.area};
  }
}

bool hidden(const Walk& w, i32 at) {
  for (i32 c = 0; c < w.cover_count; ++c)
    if (w.covers[c].at > at && inside(w.list->ops[at].area, w.covers[c].area)) return true;
  return false;
}

void damage_changed(const Walk& w) {
  for (i32 i = 0; i < w.list->count; ++i)
    if (w.changed[i] && !hidden(w, i)) damage_add(w.list->ops[i].area);
}

}  // namespace

void damage_between(const DrawOpList& before, const DrawOpList& after) {
  walks[0].list = &before;
  walks[1].list = &after;
  match(walks[0], walks[1]);
  for (Walk& w : walks) {
    collect_covers(w);
    damage_changed(w);
  }
}

}  // namespace tavlin
