// The DEFLATE bit reader: bits leave each byte least significant first.
// Reading past the input yields zero bits, and consuming any of them is a
// sticky error that fails the stream (a truncated stream is not a success).
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// Bits a refill guarantees: one literal/length code with its extra bits and
// one distance code with its extra bits (15 + 5 + 15 + 13 = 48) fit.
constexpr u32 kBrRefillBits = 56;
// Phantom zero bytes loaded past the input before the reader gives up: more
// than the buffer holds means some of them were certainly consumed.
constexpr u32 kBrMaxPhantomBytes = 16;

struct BitReader {
  const u8* data;
  u32 length;
  u32 pos;    // next byte to load; runs past length while zeros are supplied
  u64 buf;    // loaded bits, next bit in bit 0; above `count` only true bits or 0
  u32 count;  // valid bits in buf
  u32 error;  // sticky: set once bits beyond the input were consumed
};

inline void br_init(BitReader& r, const u8* data, u32 length) {
  r.data = data;
  r.length = length;
  r.pos = 0;
  r.buf = 0;
  r.count = 0;
  r.error = 0;
}

// Tops the buffer up to at least kBrRefillBits. Eight bytes at once while
// they exist; the overlap with the next load is the same bytes, so OR-ing
// them again is harmless.
inline void br_refill(BitReader& r) {
  if (r.count >= kBrRefillBits) return;
  if (r.pos + 8 <= r.length) {
    u64 word;
    __builtin_memcpy(&word, r.data + r.pos, 8);
    r.buf |= word << r.count;
    r.pos += (63 - r.count) >> 3;
    r.count |= 56;
    return;
  }
  while (r.count <= kBrRefillBits) {
    const u64 byte = r.pos < r.length ? r.data[r.pos] : 0;
    r.buf |= byte << r.count;
    ++r.pos;
    r.count += 8;
  }
  if (r.pos > r.length + kBrMaxPhantomBytes) r.error = 1;
}

inline void br_consume(BitReader& r, u32 n) {
  r.buf >>= n;
  r.count -= n;
}

// True once more bits were consumed than the input holds.
inline bool br_overrun(const BitReader& r) {
  return r.error || static_cast<u64>(r.pos) * 8 - r.count > static_cast<u64>(r.length) * 8;
}

// The next n bits (n at most 32), least significant first; n = 0 gives 0.
inline u32 br_get_bits(BitReader& r, u32 n) {
  if (n == 0) return 0;
  br_refill(r);
  const u32 value = static_cast<u32>(r.buf & ((u64{1} << n) - 1));
  br_consume(r, n);
  return value;
}

// Drops the bits up to the next byte boundary.
inline void br_align(BitReader& r) { br_consume(r, r.count & 7); }

// Whole input bytes not yet consumed (after br_align).
inline u32 br_bytes_left(const BitReader& r) {
  const u64 used = static_cast<u64>(r.pos) * 8 - r.count;
  const u64 total = static_cast<u64>(r.length) * 8;
  return used >= total ? 0 : static_cast<u32>((total - used) >> 3);
}

}  // namespace tavlin
