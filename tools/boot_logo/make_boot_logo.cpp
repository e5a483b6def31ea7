// Draws the TavlinOS boot logo and writes it as a YRF image, which the
// kernel embeds and shows on the boot screen:
//   make_boot_logo <out.yrf>
// A rounded tile in the wallpaper's blues with three light capsules, as on
// the desktop, and a white T across them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/media/canvas.h"
#include "tools/media/yrf.h"

namespace {

constexpr int kSize = 144;
constexpr float kTile0 = 8, kTile1 = 136, kTileRadius = 30;

// Signed distance to a rounded box (negative inside).
float rounded_box(float x, float y, float x0, float y0, float x1, float y1, float r) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float qx = std::fabs(x - cx) - ((x1 - x0) / 2 - r);
  const float qy = std::fabs(y - cy) - ((y1 - y0) / 2 - r);
  const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

media::Canvas draw_logo() {
  using media::hex;
  media::Canvas c(kSize, kSize);
  c.fill_rows([](float) { return hex(0x1C1C1E); });  // the boot screen behind it
  const auto tile = [](float x, float y) { return rounded_box(x, y, kTile0, kTile0, kTile1, kTile1, kTileRadius); };
  c.fill_sdf_shaded(kTile0, kTile0, kTile1, kTile1, tile,
                    [](float, float y) {
                      return media::mix(hex(0x62B6E9), hex(0x101696), (y - kTile0) / (kTile1 - kTile0));
                    },
                    1.0f);
  // Three capsules, clipped to the tile by drawing them inside it.
  const float xs[3] = {30, 64, 98};
  for (float x : xs)
    c.fill_sdf(x - 1, kTile0, x + 17, kTile1,
               [&](float px, float py) {
                 return std::max(rounded_box(px, py, x, 20, x + 16, 124, 8), tile(px, py));
               },
               hex(0xB6DCF4), 0.35f);
  c.rounded_rect(36, 38, 108, 56, 9, hex(0xFFFFFF));
  c.rounded_rect(63, 38, 81, 112, 9, hex(0xFFFFFF));
  c.circle(100, 100, 7, hex(0xF4E7D3));
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <out.yrf>\n", argv[0]);
    return 2;
  }
  const media::Canvas logo = draw_logo();
  const std::vector<uint8_t> yrf = media::yrf_encode(logo.width(), logo.height(), logo.to_rgb565());
  FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  const bool wrote = !yrf.empty() && std::fwrite(yrf.data(), 1, yrf.size(), out) == yrf.size();
  return std::fclose(out) == 0 && wrote ? 0 : 1;
}
