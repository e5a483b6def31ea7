// The inner loop of the inflater: the symbols of one Huffman-coded block,
// decoded through the lookup tables and written straight into png_zlib_out.
#include "kernel/codec/deflate_tables.h"
#include "kernel/codec/inflate.h"

namespace tavlin {
namespace {

inline u32 take_bits(BitReader& r, u32 n) {
  const u32 value = static_cast<u32>(r.buf & ((u64{1} << n) - 1));
  br_consume(r, n);
  return value;
}

inline void copy8(u8* dst, const u8* src) {
  u64 word;
  __builtin_memcpy(&word, src, 8);
  __builtin_memcpy(dst, &word, 8);
}

// Copies len bytes from dist back. Overlap repeats bytes, as the format
// requires. Away from the end of the buffer the copy goes in 8-byte steps and
// may scribble up to 7 bytes past the match, which later output overwrites.
inline void copy_match(u8* out, u32 op, u32 dist, u32 len) {
  u8* dst = out + op;
  const u8* src = dst - dist;
  if (op + len + 8 > kInflateOutSize) {
    for (u32 k = 0; k < len; ++k) dst[k] = src[k];
    return;
  }
  u32 k = 0;
  u32 step = dist;
  if (dist < 8) {
    // Seed a whole number of periods that spans 8 bytes; from there on the
    // pattern can be copied from that far back without overlap.
    step = dist * ((dist + 7) / dist);
    for (; k < step && k < len; ++k) dst[k] = src[k];
  }
  for (; k < len; k += 8) copy8(dst + k, dst + k - step);
}

}  // namespace

u32 inflate_block_data(BitReader& reader, const HuffTable& lit, const HuffTable& dist, u32* out_pos) {
  // A local copy: the byte stores below could otherwise alias the reader and
  // force it out of registers after every byte.
  BitReader r = reader;
  u8* const out = png_zlib_out;
  u32 op = *out_pos;
  u32 ok = 0;
  for (;;) {
    br_refill(r);
    if (r.error) break;
    u32 used = 0;
    HuffEntry e = huff_lookup(lit, r.buf, &used);
    if (e.type != kEntrySymbol) break;
    br_consume(r, used);
    const u32 sym = e.value;
    if (sym < kEndOfBlock) {
      if (op >= kInflateOutSize) break;
      out[op++] = static_cast<u8>(sym);
      continue;
    }
    if (sym == kEndOfBlock) {
      ok = 1;
      break;
    }
    const u32 li = sym - kFirstLengthSymbol;
    if (li >= kLengthCodes) break;
    const u32 len = LEN_BASE[li] + take_bits(r, LEN_EXTRA[li]);
    e = huff_lookup(dist, r.buf, &used);
    if (e.type != kEntrySymbol || e.value >= kDistanceCodes) break;
    br_consume(r, used);
    const u32 distance = DIST_BASE[e.value] + take_bits(r, DIST_EXTRA[e.value]);
    if (distance > op || len > kInflateOutSize - op) break;
    copy_match(out, op, distance, len);
    op += len;
  }
  reader = r;
  *out_pos = op;
  return ok;
}

}  // namespace tavlin
