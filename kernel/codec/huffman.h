// Canonical Huffman codes of DEFLATE: the decoding table built from a list
// of code lengths, and one-symbol decoding over the bit reader. The builder
// is constexpr so the fixed codes are tables in read-only data.
#pragma once
#include "kernel/codec/bit_reader.h"

namespace tavlin {

constexpr u32 kMaxCodeBits = 15;
constexpr u32 kMaxSymbols = 288;  // literal/length alphabet with its two unused codes
constexpr u32 kCodeLengthSymbols = 19;

// Which alphabet a table decodes: it fixes the first-level index width and
// whether an incomplete code is acceptable.
enum class HuffKind : u8 { CodeLengths, Literals, Distances };

constexpr u32 huff_root_bits(HuffKind kind) {
  return kind == HuffKind::CodeLengths ? 7 : kind == HuffKind::Literals ? 9 : 6;
}

// Entries (first level plus second-level tables) for the worst complete
// code of the format's alphabets at these widths: 852 for 286 literal/length
// symbols over 9 bits, 592 for 30 distances over 6 bits. The builder refuses,
// rather than overruns, any code that would need more.
constexpr u32 kHuffMaxEntries = 852;

enum : u8 { kEntrySymbol = 0, kEntryLink = 1, kEntryInvalid = 2 };

// A symbol entry gives the symbol and its bits beyond any first level; a
// link gives where its second-level table starts and that table's index width.
struct HuffEntry {
  u16 value;
  u8 bits;
  u8 type;
};
static_assert(sizeof(HuffEntry) == 4);

struct HuffTable {
  u16 count[kMaxCodeBits + 1];  // codes of each length; count[0] is 0
  u16 symbol[kMaxSymbols];      // symbols in canonical code order
  u32 root_bits;
  u32 used;                     // entries taken, first level included
  HuffEntry entry[kHuffMaxEntries];
};

namespace huff_detail {

constexpr u32 reverse_bits(u32 code, u32 len) {
  u32 out = 0;
  for (u32 i = 0; i < len; ++i) out |= ((code >> i) & 1) << (len - 1 - i);
  return out;
}

// Over-subscribed codes never build. An incomplete one only when it is the
// single one-bit code or no code at all, which a block may legally send for
// its distances; code-length codes must be complete.
constexpr bool code_shape_ok(const HuffTable& t, HuffKind kind) {
  i32 left = 1;
  u32 codes = 0;
  for (u32 len = 1; len <= kMaxCodeBits; ++len) {
    left = left * 2 - t.count[len];
    if (left < 0) return false;
    codes += t.count[len];
  }
  if (left == 0) return true;
  if (kind == HuffKind::CodeLengths) return false;
  return codes == 0 || (codes == 1 && t.count[1] == 1);
}

constexpr void sort_symbols(HuffTable& t, const u8* lengths, u32 n) {
  u16 next[kMaxCodeBits + 2] = {};
  for (u32 len = 1; len <= kMaxCodeBits; ++len) next[len + 1] = next[len] + t.count[len];
  for (u32 s = 0; s < n; ++s)
    if (lengths[s] != 0) t.symbol[next[lengths[s]]++] = static_cast<u16>(s);
}

// The longest code behind each first-level slot decides its second-level size.
constexpr void longest_per_prefix(const HuffTable& t, u8* longest) {
  u32 code = 0;
  for (u32 len = 1; len <= kMaxCodeBits; ++len) {
    for (u32 i = 0; i < t.count[len]; ++i, ++code) {
      if (len <= t.root_bits) continue;
      const u32 prefix = reverse_bits(code >> (len - t.root_bits), t.root_bits);
      if (longest[prefix] < len) longest[prefix] = static_cast<u8>(len);
    }
    code <<= 1;
  }
}

constexpr bool place_code(HuffTable& t, u32 code, u32 len, u16 sym, const u8* longest) {
  const u32 root = t.root_bits;
  const u32 rev = reverse_bits(code, len);
  if (len <= root) {
    for (u32 j = rev; j < (1u << root); j += 1u << len) t.entry[j] = {sym, static_cast<u8>(len), kEntrySymbol};
    return true;
  }
  const u32 prefix = rev & ((1u << root) - 1);
  if (t.entry[prefix].type != kEntryLink) {
    const u32 sub_bits = longest[prefix] - root;
    if (t.used + (1u << sub_bits) > kHuffMaxEntries) return false;
    for (u32 j = 0; j < (1u << sub_bits); ++j) t.entry[t.used + j] = {0, 0, kEntryInvalid};
    t.entry[prefix] = {static_cast<u16>(t.used), static_cast<u8>(sub_bits), kEntryLink};
    t.used += 1u << sub_bits;
  }
  const HuffEntry link = t.entry[prefix];
  const u32 sub_len = len - root;
  for (u32 j = rev >> root; j < (1u << link.bits); j += 1u << sub_len)
    t.entry[link.value + j] = {sym, static_cast<u8>(sub_len), kEntrySymbol};
  return true;
}

}  // namespace huff_detail

// Builds t from the code lengths (each 0 to 15) of symbols 0 to n - 1.
// Returns 1, or 0 for an over-subscribed or unacceptable incomplete code.
constexpr u32 huff_build(HuffTable& t, const u8* lengths, u32 n, HuffKind kind) {
  using namespace huff_detail;
  if (n > kMaxSymbols) return 0;
  for (u32 len = 0; len <= kMaxCodeBits; ++len) t.count[len] = 0;
  for (u32 s = 0; s < n; ++s) {
    if (lengths[s] > kMaxCodeBits) return 0;
    ++t.count[lengths[s]];
  }
  t.count[0] = 0;
  if (!code_shape_ok(t, kind)) return 0;
  sort_symbols(t, lengths, n);
  t.root_bits = huff_root_bits(kind);
  t.used = 1u << t.root_bits;
  for (u32 j = 0; j < t.used; ++j) t.entry[j] = {0, 0, kEntryInvalid};
  u8 longest[1u << 9] = {};
  longest_per_prefix(t, longest);
  u32 code = 0, index = 0;
  for (u32 len = 1; len <= kMaxCodeBits; ++len) {
    for (u32 i = 0; i < t.count[len]; ++i, ++code)
      if (!place_code(t, code, len, t.symbol[index++], longest)) return 0;
    code <<= 1;
  }
  return 1;
}

// Looks up the entry for the code at the front of `bits`; fills *consumed.
inline HuffEntry huff_lookup(const HuffTable& t, u64 bits, u32* consumed) {
  HuffEntry e = t.entry[bits & ((1u << t.root_bits) - 1)];
  u32 skip = 0;
  if (e.type == kEntryLink) {
    skip = t.root_bits;
    e = t.entry[e.value + ((bits >> skip) & ((1u << e.bits) - 1))];
  }
  *consumed = skip + e.bits;
  return e;
}

// Reads one symbol; -1 when no code of up to 15 bits matches.
inline i32 huff_decode(BitReader& r, const HuffTable& t) {
  br_refill(r);
  u32 used = 0;
  const HuffEntry e = huff_lookup(t, r.buf, &used);
  if (e.type != kEntrySymbol) return -1;
  br_consume(r, used);
  return e.value;
}

}  // namespace tavlin
