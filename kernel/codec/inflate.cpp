// inflate_raw: block headers, stored blocks and the dynamic code-length
// header of DEFLATE. The symbol loop is in inflate_block.cpp.
#include "kernel/codec/inflate.h"

#include "kernel/codec/deflate_tables.h"
#include "kernel/core/kstring.h"

namespace tavlin {

u8 png_zlib_out[kInflateOutSize];

namespace {

constexpr u32 kFixedLitSymbols = 288;
constexpr u32 kFixedDistSymbols = 32;  // codes 30 and 31 exist but are invalid
constexpr u32 kFixedDistBits = 5;
constexpr u32 kMaxLitCodes = 288;      // HLIT is 5 bits + 257
constexpr u32 kMaxDistCodes = 32;      // HDIST is 5 bits + 1

constexpr u8 fixed_lit_length(u32 sym) { return sym < 144 ? 8 : sym < 256 ? 9 : sym < 280 ? 7 : 8; }

constexpr HuffTable build_fixed(HuffKind kind) {
  HuffTable t{};
  u8 lengths[kMaxSymbols] = {};
  const u32 n = kind == HuffKind::Literals ? kFixedLitSymbols : kFixedDistSymbols;
  for (u32 s = 0; s < n; ++s) lengths[s] = kind == HuffKind::Literals ? fixed_lit_length(s) : kFixedDistBits;
  huff_build(t, lengths, n, kind);
  return t;
}

constexpr HuffTable kFixedLit = build_fixed(HuffKind::Literals);
constexpr HuffTable kFixedDist = build_fixed(HuffKind::Distances);
static_assert(kFixedLit.used == 512 && kFixedLit.count[7] == 24 && kFixedLit.count[9] == 112);
static_assert(kFixedDist.used == 64 && kFixedDist.count[5] == 32);

// Everything one stream needs beyond the output buffer. Static rather than
// on the stack: the tables are too big for a 16 KiB kernel stack.
struct InflateState {
  BitReader in;
  u32 out;
  HuffTable lit, dist, lengths_code;
  u8 lengths[kMaxLitCodes + kMaxDistCodes];
};
InflateState state;

u32 stored_block(InflateState& s) {
  BitReader& r = s.in;
  br_align(r);
  if (br_bytes_left(r) < kStoredHeaderBytes) return 0;
  u32 len = br_get_bits(r, 16);
  br_get_bits(r, 16);  // NLEN, not compared
  if (len > br_bytes_left(r) || len > kInflateOutSize - s.out) return 0;
  while (len && r.count >= 8) {
    png_zlib_out[s.out++] = static_cast<u8>(r.buf);
    br_consume(r, 8);
    --len;
  }
  if (len) {
    // The bit buffer is empty here, so the rest comes straight from the input.
    memcpy(png_zlib_out + s.out, r.data + r.pos, len);
    s.out += len;
    r.pos += len;
    r.buf = 0;
  }
  return 1;
}

// Decodes HLIT + HDIST code lengths with the code-length code.
u32 read_code_lengths(InflateState& s, u32 total) {
  BitReader& r = s.in;
  u32 n = 0;
  while (n < total) {
    const i32 sym = huff_decode(r, s.lengths_code);
    if (sym < 0) return 0;
    if (sym < 16) {
      s.lengths[n++] = static_cast<u8>(sym);
      continue;
    }
    u8 value = 0;
    u32 repeat = 0;
    if (sym == 16) {
      if (n == 0) return 0;  // nothing to repeat
      value = s.lengths[n - 1];
      repeat = 3 + br_get_bits(r, 2);
    } else if (sym == 17) {
      repeat = 3 + br_get_bits(r, 3);
    } else {
      repeat = 11 + br_get_bits(r, 7);
    }
    while (repeat-- && n < total) s.lengths[n++] = value;
  }
  return br_overrun(r) ? 0 : 1;
}

u32 dynamic_block(InflateState& s) {
  BitReader& r = s.in;
  const u32 hlit = br_get_bits(r, 5) + 257;
  const u32 hdist = br_get_bits(r, 5) + 1;
  const u32 hclen = br_get_bits(r, 4) + 4;
  u8 code_lengths[kCodeLengthSymbols] = {};
  for (u32 i = 0; i < hclen; ++i) code_lengths[CLEN_ORDER[i]] = static_cast<u8>(br_get_bits(r, 3));
  if (!huff_build(s.lengths_code, code_lengths, kCodeLengthSymbols, HuffKind::CodeLengths)) return 0;
  if (!read_code_lengths(s, hlit + hdist)) return 0;
  // Without an end-of-block code the block could never end.
  if (s.lengths[kEndOfBlock] == 0) return 0;
  if (!huff_build(s.lit, s.lengths, hlit, HuffKind::Literals)) return 0;
  if (!huff_build(s.dist, s.lengths + hlit, hdist, HuffKind::Distances)) return 0;
  return inflate_block_data(r, s.lit, s.dist, &s.out);
}

}  // namespace

u32 inflate_raw(const u8* input, u32 length) {
  if (!input || length == 0) return 0;
  InflateState& s = state;
  br_init(s.in, input, length);
  s.out = 0;
  for (;;) {
    const u32 final_block = br_get_bits(s.in, 1);
    const u32 type = br_get_bits(s.in, 2);
    u32 ok = 0;
    if (type == 0) ok = stored_block(s);
    else if (type == 1) ok = inflate_block_data(s.in, kFixedLit, kFixedDist, &s.out);
    else if (type == 2) ok = dynamic_block(s);
    if (!ok || br_overrun(s.in)) return 0;
    if (final_block) return s.out;
  }
}

}  // namespace tavlin
