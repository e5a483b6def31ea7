// The shaped fills worked out pixel by pixel, straight from their rules with
// brute-force loops, into a Picture. Tests compare the real drawing with
// these, on screen and across every edge.
#pragma once
#include "unit/gfx/shapes_canvas.h"
#include "kernel/gfx/shapes.h"

namespace tavlin::test::ref {

inline void rect(Picture& p, long long x, long long y, long long w, long long h, u32 c) {
  for (long long j = 0; j < h; ++j)
    for (long long i = 0; i < w; ++i) p.set(x + i, y + j, c);
}

inline void outline(Picture& p, long long x, long long y, long long w, long long h, u32 c) {
  if (w > 0) {
    rect(p, x, y, w, 1, c);
    rect(p, x, y + h - 1, w, 1, c);
  }
  if (h > 0) {
    rect(p, x, y, 1, h, c);
    rect(p, x + w - 1, y, 1, h, c);
  }
}

inline void circle(Picture& p, long long cx, long long cy, long long r, u32 c) {
  if (r < 0) return;
  for (long long dy = -r; dy <= r; ++dy) {
    long long dx = -r;
    while (dx <= r && dx * dx + dy * dy > r * r) ++dx;
    if (-2 * dx > 0) rect(p, cx + dx, cy + dy, -2 * dx, 1, c);
  }
}

inline void rounded(Picture& p, long long x, long long y, long long w, long long h, long long r, u32 c) {
  if (w - 2 * r > 0 && h > 0) rect(p, x + r, y, w - 2 * r, h, c);
  if (h - 2 * r > 0) {
    rect(p, x, y + r, r, h - 2 * r, c);
    rect(p, x + w - r, y + r, r, h - 2 * r, c);
  }
  for (long long k = 0; k < r; ++k) {
    const long long yt = y + k, yb = y + h - 1 - k, dy = r - k;
    for (long long i = r; i >= 1; --i) {
      if (i * i + dy * dy > r * r) continue;
      const long long left = x + r - i, right = x + w - 1 - (r - i);
      p.set(left, yt, c);
      p.set(right, yt, c);
      p.set(left, yb, c);
      p.set(right, yb, c);
    }
  }
}

inline int eased(int t) { return (150 - t) * t * t / 5000; }

inline u32 mix(u32 a, u32 b, int e) {
  u32 out = 0;
  for (int s = 0; s <= 16; s += 8) {
    const int c0 = int((a >> s) & 0xFF), c1 = int((b >> s) & 0xFF);
    out |= u32(c0 + (c1 - c0) * e / 100) << s;
  }
  return out;
}

inline long long inset(long long i, long long h, long long r) {
  long long dy;
  if (i < r)
    dy = r - i;
  else if (i >= h - r)
    dy = i - (h - r) + 1;
  else
    return 0;
  long long a = 1;
  while (a < r && (r - a) * (r - a) + dy * dy > r * r) ++a;
  return a;
}

inline void vgrad(Picture& p, long long x, long long y, long long w, long long h, long long r, u32 top,
                  u32 bottom) {
  for (long long i = 0; i < h; ++i) {
    u32 c = top;
    if (i >= 1) {
      const int t = int(i * 100 / (h - 1));
      c = t >= 100 ? bottom : mix(top, bottom, eased(t));
    }
    const long long a = inset(i, h, r);
    rect(p, x + a, y + i, w - 2 * a, 1, c);
  }
}

inline void pill(Picture& p, long long x, long long y, long long w, long long h, const ColourStop* s, int n) {
  const long long rr = w / 2;
  for (long long i = 0; i < h; ++i) {
    const long long a = inset(i, h, rr);
    const int t = h == 1 ? 0 : int(i * 100 / (h - 1));
    u32 c;
    if (t <= s[0].position) {
      c = s[0].colour;
    } else if (t >= s[n - 1].position) {
      c = s[n - 1].colour;
    } else {
      int k = 0;
      while (!(s[k].position <= t && t <= s[k + 1].position)) ++k;
      const int len = s[k + 1].position - s[k].position;
      const int u = len == 0 ? 0 : (t - s[k].position) * 100 / len;
      c = u == 0 ? s[k].colour : u >= 100 ? s[k + 1].colour : mix(s[k].colour, s[k + 1].colour, eased(u));
    }
    if (w - 2 * a > 0) rect(p, x + a, y + i, w - 2 * a, 1, c);
  }
  long long ys = std::max<long long>(y + rr, 0), ye = std::min<long long>(y + h - rr, p.h);
  if (ye > ys) {
    rect(p, x, ys, 1, ye - ys, 0xA0C6E4);
    rect(p, x + w - 1, ys, 1, ye - ys, 0xA0C6E4);
  }
}

inline void globe(Picture& p, long long cx, long long cy, long long r) {
  outline(p, cx - r, cy - r, 2 * r + 1, 2 * r + 1, 0x000000);
  for (long long dy = -r; dy <= r; ++dy) {
    long long dx = 0;
    while ((dx + 1) * (dx + 1) + dy * dy <= r * r) ++dx;
    p.set(cx - dx, cy + dy, 0xFFFFFF);
    p.set(cx + dx, cy + dy, 0xFFFFFF);
  }
  for (long long dx = -r; dx <= r; ++dx) {
    long long dy = 0;
    while ((dy + 1) * (dy + 1) + dx * dx <= r * r) ++dy;
    p.set(cx + dx, cy - dy, 0xFFFFFF);
    p.set(cx + dx, cy + dy, 0xFFFFFF);
  }
  outline(p, cx - r, cy - 1, 2 * r + 1, 3, 0xFFFFFF);
  for (long long dy = 2 - r; dy < r - 2; ++dy) {
    const long long hw = (r * r - dy * dy) / (2 * r + 1);
    if (hw > 0) {
      p.set(cx - hw, cy + dy, 0xFFFFFF);
      p.set(cx + hw, cy + dy, 0xFFFFFF);
    }
  }
  for (long long dx = 2 - r; dx < r - 2; ++dx) {
    const long long hh = (r * r - dx * dx) / (2 * r + 1);
    if (hh > 0) {
      p.set(cx + dx, cy - hh, 0xFFFFFF);
      p.set(cx + dx, cy + hh, 0xFFFFFF);
    }
  }
}

}  // namespace tavlin::test::ref
