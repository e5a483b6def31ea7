// Reversal of the five PNG scanline filters, in place, row by row. The
// first row sees a row of zeros above it; a filter type above 4 is None.
#include "kernel/codec/png.h"

namespace tavlin {
namespace {

enum : u8 { kFilterNone = 0, kFilterSub = 1, kFilterUp = 2, kFilterAverage = 3, kFilterPaeth = 4 };

inline u8 paeth(u32 a, u32 b, u32 c) {
  const i32 p = static_cast<i32>(a + b) - static_cast<i32>(c);
  const i32 pa = p > static_cast<i32>(a) ? p - static_cast<i32>(a) : static_cast<i32>(a) - p;
  const i32 pb = p > static_cast<i32>(b) ? p - static_cast<i32>(b) : static_cast<i32>(b) - p;
  const i32 pc = p > static_cast<i32>(c) ? p - static_cast<i32>(c) : static_cast<i32>(c) - p;
  if (pa <= pb && pa <= pc) return static_cast<u8>(a);
  return static_cast<u8>(pb <= pc ? b : c);
}

void unfilter_sub(u8* row, u32 n, u32 bpp) {
  for (u32 i = bpp; i < n; ++i) row[i] = static_cast<u8>(row[i] + row[i - bpp]);
}

void unfilter_up(u8* row, const u8* up, u32 n) {
  for (u32 i = 0; i < n; ++i) row[i] = static_cast<u8>(row[i] + up[i]);
}

void unfilter_average(u8* row, const u8* up, u32 n, u32 bpp) {
  for (u32 i = 0; i < bpp && i < n; ++i) row[i] = static_cast<u8>(row[i] + (up[i] >> 1));
  for (u32 i = bpp; i < n; ++i) row[i] = static_cast<u8>(row[i] + ((row[i - bpp] + up[i]) >> 1));
}

void unfilter_paeth(u8* row, const u8* up, u32 n, u32 bpp) {
  for (u32 i = 0; i < bpp && i < n; ++i) row[i] = static_cast<u8>(row[i] + up[i]);
  for (u32 i = bpp; i < n; ++i) row[i] = static_cast<u8>(row[i] + paeth(row[i - bpp], up[i], up[i - bpp]));
}

// The first row's "row above": as wide as the widest row of the subset.
constexpr u32 kMaxRowBytes = 512 * 4;
const u8 zero_row[kMaxRowBytes] = {};

}  // namespace

void png_unfilter(u8* data, u32 row_bytes, u32 height, u32 bpp) {
  if (row_bytes > kMaxRowBytes) return;
  const u32 stride = row_bytes + 1;
  for (u32 y = 0; y < height; ++y) {
    u8* const row = data + y * stride + 1;
    const u8* const up = y == 0 ? zero_row : row - stride;
    switch (row[-1]) {
      case kFilterSub: unfilter_sub(row, row_bytes, bpp); break;
      case kFilterUp: unfilter_up(row, up, row_bytes); break;
      case kFilterAverage: unfilter_average(row, up, row_bytes, bpp); break;
      case kFilterPaeth: unfilter_paeth(row, up, row_bytes, bpp); break;
      default: break;
    }
  }
}

}  // namespace tavlin
