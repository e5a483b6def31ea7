// The leading bytes that mark a file as one of the media formats the system
// opens, whatever its name says.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kPngSignatureSize = 8;
constexpr u8 kPngSignature[kPngSignatureSize] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr u8 kYrfMagic[4] = {'Y', 'R', 'F', '1'};
constexpr u8 kZevaMagic[4] = {'Z', 'E', 'V', 'A'};

inline bool starts_with_bytes(const u8* data, u32 length, const u8* prefix, u32 prefix_length) {
  if (!data || length < prefix_length) return false;
  for (u32 i = 0; i < prefix_length; ++i)
    if (data[i] != prefix[i]) return false;
  return true;
}

inline bool is_png_data(const u8* data, u32 length) {
  return starts_with_bytes(data, length, kPngSignature, kPngSignatureSize);
}
inline bool is_yrf_data(const u8* data, u32 length) { return starts_with_bytes(data, length, kYrfMagic, 4); }
inline bool is_zeva_data(const u8* data, u32 length) { return starts_with_bytes(data, length, kZevaMagic, 4); }

}  // namespace tavlin
