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

u32 strlen(const char* s) {
  u32 n = 0;
  while (s[n]) ++n;
  return n;
}

// The copy loops go through word-sized chunks where they can; the compiler is
// told not to turn them back into calls to ourselves (see the build flags).
void* memcpy(void* dst, const void* src, usize n) {
  auto* d = static_cast<u8*>(dst);
  auto* s = static_cast<const u8*>(src);
#if defined(__i386__) && !defined(TAVLIN_HOST)
  asm volatile("rep movsl\n\t"
               "movl %3, %%ecx\n\t"
               "rep movsb"
               : "+D"(d), "+S"(s), "=&c"(n)
               : "r"(n & 3), "2"(n >> 2)
               : "memory");
#else
  while (n >= sizeof(u64)) {
    u64 chunk;
    __builtin_memcpy(&chunk, s, sizeof chunk);
    __builtin_memcpy(d, &chunk, sizeof chunk);
    d += sizeof chunk;
    s += sizeof chunk;
    n -= sizeof chunk;
  }
  while (n--) *d++ = *s++;
#endif
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
#if defined(__i386__) && !defined(TAVLIN_HOST)
  asm volatile("rep stosl" : "+D"(dst), "+c"(count) : "a"(value) : "memory");
#else
  const u64 pair = (static_cast<u64>(value) << 32) | value;
  while (count >= 8) {
    __builtin_memcpy(dst, &pair, 8);
    __builtin_memcpy(dst + 2, &pair, 8);
    __builtin_memcpy(dst + 4, &pair, 8);
    __builtin_memcpy(dst + 6, &pair, 8);
    dst += 8;
    count -= 8;
  }
  while (count--) *dst++ = value;
#endif
}

}  // namespace tavlin
