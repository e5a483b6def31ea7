// damage_between: a greedy walk along two frames' operation lists. Equal
// operations are matched in order; at a difference the walk looks a short
// way ahead in both lists for the nearest pair that matches again, and
// everything skipped over is damage. Any matching kept in order is sound: a
// pixel outside the damage is changed by the same operations in the same
// order in both frames.
#include "kernel/gfx/damage.h"

namespace tavlin {
namespace {

constexpr i32 kLookAhead = 24;  // operations searched past a difference

void damage_ops(const DrawOpList& list, i32 from, i32 to) {
  for (i32 i = from; i < to; ++i) damage_add(list.ops[i].area);
}

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

}  // namespace

void damage_between(const DrawOpList& before, const DrawOpList& after) {
  i32 i = 0, j = 0;
  while (i < before.count && j < after.count) {
    if (same_draw_op(before.ops[i], after.ops[j])) {
      ++i;
      ++j;
      continue;
    }
    i32 a = 1, b = 1;  // no match near: both sides' operation count as changed
    resync(before, i, after, j, &a, &b);
    damage_ops(before, i, i + a);
    damage_ops(after, j, j + b);
    i += a;
    j += b;
  }
  damage_ops(before, i, before.count);
  damage_ops(after, j, after.count);
}

}  // namespace tavlin
