// The embedded sample files (see sample_media.S).
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

extern "C" const u8 tavlin_media_yrf[], tavlin_media_yrf_end[];
extern "C" const u8 tavlin_media_png[], tavlin_media_png_end[];
extern "C" const u8 tavlin_media_zeva[], tavlin_media_zeva_end[];

struct SampleFile {
  const u8* data;
  u32 size;
};

inline SampleFile sample_file(const u8* start, const u8* end) {
  return {start, static_cast<u32>(end - start)};
}
inline SampleFile sample_yrf() { return sample_file(tavlin_media_yrf, tavlin_media_yrf_end); }
inline SampleFile sample_png() { return sample_file(tavlin_media_png, tavlin_media_png_end); }
inline SampleFile sample_zeva() { return sample_file(tavlin_media_zeva, tavlin_media_zeva_end); }

}  // namespace tavlin
