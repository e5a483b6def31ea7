// The boot logo: the embedded YRF image, decoded into the shared decode
// buffer and copied into the boot screen's logo area, shrunk to fit half the
// screen and centred a little above the middle.
#include "kernel/codec/image_cache.h"
#include "kernel/codec/yrf.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/gfx/gfx.h"

extern "C" const tavlin::u8 tavlin_boot_logo[], tavlin_boot_logo_end[];

namespace tavlin {
namespace {

constexpr i32 kRaise = 30;  // above the vertical centre, clear of the progress bar

}  // namespace

void draw_boot_logo() {
  memset(image_decode_scratch, 0, sizeof image_decode_scratch);
  u32 iw = 0, ih = 0;
  const u32 length = static_cast<u32>(tavlin_boot_logo_end - tavlin_boot_logo);
  if (!decode_yrf(tavlin_boot_logo, length, &iw, &ih) || iw == 0 || ih == 0) return;
  const i32 W = static_cast<i32>(fb_width), H = static_cast<i32>(fb_height);
  i32 w = static_cast<i32>(iw), h = static_cast<i32>(ih);
  if (w > W / 2) {
    h = h * (W / 2) / w;
    w = W / 2;
  }
  if (h > H / 2) {
    w = w * (H / 2) / h;
    h = H / 2;
  }
  if (w < 1 || h < 1) return;
  const i32 x0 = (W - w) / 2, y0 = (H - h) / 2 - kRaise;
  // The image's top-left colour is its backdrop: RGB565 cannot hold the boot
  // screen's grey exactly, so those pixels are left to the screen instead of
  // showing as a faint box. The rest are copied, not blended, by
  // nearest-neighbour sampling.
  const u32 backdrop = image_decode_scratch[0];
  for (i32 r = 0; r < h; ++r) {
    const u32* src = image_decode_scratch + static_cast<u32>(r) * ih / static_cast<u32>(h) * iw;
    for (i32 c = 0; c < w; ++c) {
      const u32 p = src[static_cast<u32>(c) * iw / static_cast<u32>(w)];
      if (p != backdrop) put_pixel(x0 + c, y0 + r, p & 0xFFFFFF);
    }
  }
}

}  // namespace tavlin
