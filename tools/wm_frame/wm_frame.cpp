// Composes the desktop frame the running system shows after start-up, from
// the same kernel sources, and writes it as a binary PPM, so that system
// tests can compare a screendump with it pixel for pixel.
//   wm_frame WIDTH HEIGHT POINTER_X POINTER_Y OUT.ppm
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/codec/image_cache.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/mouse.h"
#include "kernel/core/timer.h"
#include "kernel/fs/fs.h"
#include "kernel/gfx/gfx.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/render.h"
#include "kernel/wm/window.h"

int main(int argc, char** argv) {
  using namespace tavlin;
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s WIDTH HEIGHT POINTER_X POINTER_Y OUT.ppm\n", argv[0]);
    return 2;
  }
  const long w = std::strtol(argv[1], nullptr, 10), h = std::strtol(argv[2], nullptr, 10);
  if (w < 1 || h < 1 || w > static_cast<long>(kMaxScreenWidth) || h > static_cast<long>(kMaxScreenHeight)) {
    std::fprintf(stderr, "screen size out of range\n");
    return 2;
  }
  fb_width = static_cast<u32>(w);
  fb_height = static_cast<u32>(h);

  fake_hw::set_default(0x3FD, 0x20);  // the log goes to a ready, silent UART

  // The start-up steps that shape the desktop, in start-up order.
  windows_init();
  fs_init();
  dock_reset_dynamic();
  desktop_icons_reset();
  image_cache_init();
  pit_ticks = 100000;  // long after start: no animation is running
  desktop_icons_sync();
  mouse_x = static_cast<i32>(std::strtol(argv[3], nullptr, 10));
  mouse_y = static_cast<i32>(std::strtol(argv[4], nullptr, 10));
  render_frame();

  std::FILE* out = std::fopen(argv[5], "wb");
  if (!out) {
    std::perror(argv[5]);
    return 1;
  }
  std::fprintf(out, "P6\n%ld %ld\n255\n", w, h);
  std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
  for (long y = 0; y < h; ++y) {
    for (long x = 0; x < w; ++x) {
      const u32 p = backbuf[static_cast<size_t>(y) * w + x];
      row[x * 3] = static_cast<unsigned char>(p >> 16);
      row[x * 3 + 1] = static_cast<unsigned char>(p >> 8);
      row[x * 3 + 2] = static_cast<unsigned char>(p);
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
