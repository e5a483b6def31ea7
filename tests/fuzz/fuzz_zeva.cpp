// Every frame of an arbitrary ZEVA file, in order, as the player decodes
// them, then the player's picture rebuilt for the last frame reached.

#include "kernel/apps/mediaplayer.h"
#include "kernel/codec/zeva.h"

static tavlin::u32 picture[tavlin::kZevaMaxPixels];

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  const auto n = static_cast<tavlin::u32>(size);
  tavlin::ZevaHeader h;
  if (!tavlin::zeva_read_header(data, n, &h)) return 0;
  tavlin::u32 k = 0;
  while (k < h.frame_count && k < 64 && !tavlin::zeva_decode_frame(data, n, h.width, h.height, k, picture)) ++k;
  tavlin::video_picture_forget();
  tavlin::video_show_frame({data, n, h.width, h.height}, static_cast<tavlin::i32>(k));
  return 0;
}
