// The kernel's own string and memory routines. They live in the kernel's
// namespace so the host build can link them beside the C library's.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

u32 str_eq(const char* a, const char* b);
inline char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
// Whether text starts with lower_prefix in any case (the prefix is written in
// lower case); stops at the end of text.
bool str_starts_nocase(const char* text, const char* lower_prefix);
u32 str_copy(char* dst, const char* src, u32 cap);
void str_cat(char* dst, const char* src);
// Signed decimal; min_digits 2 pads a single digit with one '0'. buf holds 12.
void int_to_str(i32 value, char* buf, i32 min_digits);
// "0x" and eight upper-case hex digits; buf holds 11.
void hex32_to_str(u32 value, char* buf);
constexpr char kHexDigits[] = "0123456789ABCDEF";
u32 strlen(const char* s);
void* memcpy(void* dst, const void* src, usize n);
void* memmove(void* dst, const void* src, usize n);
void* memset(void* dst, int byte, usize n);

// Fast fill of 32-bit words (pixels); the byte memset cannot do this.
void memset32(u32* dst, u32 value, usize count);

}  // namespace tavlin
