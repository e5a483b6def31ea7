// Big-endian reads and writes of 16- and 32-bit fields in byte buffers: the
// order of network headers and of the PNG, YRF and ZEVA file formats.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

inline u16 be16(const u8* p) { return static_cast<u16>(p[0] << 8 | p[1]); }
inline u32 be32(const u8* p) {
  return static_cast<u32>(p[0]) << 24 | static_cast<u32>(p[1]) << 16 | static_cast<u32>(p[2]) << 8 | p[3];
}
inline void put_be16(u8* p, u16 v) {
  p[0] = static_cast<u8>(v >> 8);
  p[1] = static_cast<u8>(v);
}
inline void put_be32(u8* p, u32 v) {
  p[0] = static_cast<u8>(v >> 24);
  p[1] = static_cast<u8>(v >> 16);
  p[2] = static_cast<u8>(v >> 8);
  p[3] = static_cast<u8>(v);
}

}  // namespace tavlin
