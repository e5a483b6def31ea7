// String and memory routines shared by the whole kernel.
#include "kernel/core/kstring.h"

namespace tavlin {

u32 str_eq(const char* a, const char* b) {
  while (*a && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b ? 1 : 0;
}

bool str_starts_nocase(const char* text, const char* lower_prefix) {
  for (; *lower_prefix; ++text, ++lower_prefix)
    if (ascii_lower(*text) != *lower_prefix) return false;  // a NUL in text differs too
  return true;
}

u32 str_copy(char* dst, const char* src, u32 cap) {
  u32 n = 0;
  while (n + 1 < cap && src[n]) {
    dst[n] = src[n];
    ++n;
  }
  dst[n] = 0;
  return n;
}

void str_cat(char* dst, const char* src) {
  dst += strlen(dst);
  while ((*dst++ = *src++)) {
  }
}

void int_to_str(i32 value, char* buf, i32 min_digits) {
  // Convert the magnitude as unsigned so that INT_MIN prints correctly.
  u32 magnitude = value < 0 ? 0u - static_cast<u32>(value) : static_cast<u32>(value);
  char digits[11];
  i32 count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (min_digits >= 2 && count == 1) digits[count++] = '0';
  u32 out = 0;
  if (value < 0) buf[out++] = '-';
  while (count) buf[out++] = digits[--count];
  buf[out] = 0;
}

void hex32_to_str(u32 value, char* buf) {
  buf[0] = '0';
  buf[1] = 'x';
  for (int i = 0; i < 8; ++i) buf[2 + i] = kHexDigits[(value >> (28 - 4 * i)) & 0xF];
  buf[10] = 0;
}

u32 strlen(const char* s) {
  u32 n = 0;
  while (s[n]) ++n;
  return n;
}

// The copy loops go through word-sized chunks where they can; the compiler is
// told not to turn them back into calls to ourselves (see the build flags).
namespace {

// Words that may alias anything, so copies of any type go through them.
using Word = u32 __attribute__((may_alias));

bool word_aligned(const void* a, const void* b) {
  return ((reinterpret_cast<uptr>(a) | reinterpret_cast<uptr>(b)) & 3) == 0;
}

}  // namespace

void* memcpy(void* dst, const void* src, usize n) {
  auto* d = static_cast<u8*>(dst);
  auto* s = static_cast<const u8*>(src);
  if (word_aligned(d, s)) {
    // Eight words a round in plain moves: as fast as the string
    // instructions under an emulator, and no assembly outside the hardware
    // layer.
    auto* dw = reinterpret_cast<Word*>(d);
    auto* sw = reinterpret_cast<const Word*>(s);
    for (; n >= 32; n -= 32, dw += 8, sw += 8) {
      const u32 w0 = sw[0], w1 = sw[1], w2 = sw[2], w3 = sw[3];
      const u32 w4 = sw[4], w5 = sw[5], w6 = sw[6], w7 = sw[7];
      dw[0] = w0, dw[1] = w1, dw[2] = w2, dw[3] = w3;
      dw[4] = w4, dw[5] = w5, dw[6] = w6, dw[7] = w7;
    }
    for (; n >= 4; n -= 4) *dw++ = *sw++;
    d = reinterpret_cast<u8*>(dw);
    s = reinterpret_cast<const u8*>(sw);
  }
  while (n--) *d++ = *s++;
  return dst;
}

void* memmove(void* dst, const void* src, usize n) {
  auto* d = static_cast<u8*>(dst);
  auto* s = static_cast<const u8*>(src);
  if (d == s || n == 0) return dst;
  if (d < s || d >= s + n) return memcpy(dst, src, n);
  // Overlap with the destination above the source: copy the last byte first.
  while (n--) d[n] = s[n];
  return dst;
}

void* memset(void* dst, int byte, usize n) {
  auto* d = static_cast<u8*>(dst);
  const u8 b = static_cast<u8>(byte);
  u32 word = b * 0x01010101u;
  while (n && (reinterpret_cast<uptr>(d) & 3)) {
    *d++ = b;
    --n;
  }
  memset32(reinterpret_cast<u32*>(d), word, n >> 2);
  d += n & ~static_cast<usize>(3);
  n &= 3;
  while (n--) *d++ = b;
  return dst;
}

void memset32(u32* dst, u32 value, usize count) {
  while (count >= 8) {
    dst[0] = value;
    dst[1] = value;
    dst[2] = value;
    dst[3] = value;
    dst[4] = value;
    dst[5] = value;
    dst[6] = value;
    dst[7] = value;
    dst += 8;
    count -= 8;
  }
  while (count--) *dst++ = value;
}

}  // namespace tavlin
