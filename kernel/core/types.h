// Fixed-width integer names used throughout the kernel.
// The kernel has no C library, so these come straight from the compiler.
#pragma once

namespace tavlin {

using u8 = unsigned char;
using u16 = unsigned short;
using u32 = unsigned int;
using u64 = unsigned long long;
using i8 = signed char;
using i16 = short;
using i32 = int;
using i64 = long long;
using uptr = __UINTPTR_TYPE__;
using usize = __SIZE_TYPE__;

static_assert(sizeof(u8) == 1 && sizeof(u16) == 2 && sizeof(u32) == 4 && sizeof(u64) == 8);
static_assert(sizeof(uptr) == sizeof(void*));

}  // namespace tavlin
