// The boot screen: the label for each step, the progress bar's width, and the
// logo fitted into the screen above the bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "kernel/gfx/gfx.h"
#include "kernel/init/boot_screen.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::test {
namespace {

constexpr u32 kBackground = 0x1C1C1E;
constexpr u32 kTrack = 0x3A3A3C;
constexpr u32 kBar = 0xFFFFFF;

using BootScreen = ScreenCanvas;

// The 8 rows of the label centred at H / 2 + 98.
std::vector<u32> label_band() {
  const size_t first = size_t(fb_height / 2 + 94) * fb_width;
  return std::vector<u32>(backbuf + first, backbuf + first + 8 * fb_width);
}

TEST_F(BootScreen, LabelForEveryProgressBand) {
  const std::pair<i32, const char*> cases[] = {
      {0, "Initialising hardware..."}, {19, "Initialising hardware..."}, {20, "Setting up memory..."},
      {39, "Setting up memory..."},    {40, "Loading drivers..."},       {59, "Loading drivers..."},
      {60, "Starting services..."},    {79, "Starting services..."},     {80, "Almost ready..."},
      {99, "Almost ready..."},         {100, "Ready!"},                  {101, "Almost ready..."}};
  for (const auto& [percent, label] : cases) {
    clear(kBackground);
    draw_text_centered(fb_width / 2, fb_height / 2 + 98, label, 0x888888, 1);
    const std::vector<u32> expect = label_band();
    draw_boot_screen(percent);
    EXPECT_EQ(label_band(), expect) << percent;
  }
}

// The 200-pixel track's middle row on 1024 x 768, inset by its rounded ends
// (their shape is checked with the other shapes): the bar covers 2 pixels a percent.
TEST_F(BootScreen, BarWidthFollowsProgress) {
  for (const auto& [percent, bar] : {std::pair{0, 0}, {10, 18}, {50, 98}, {100, 198}}) {
    draw_boot_screen(percent);
    const std::vector<u32> row(backbuf + 465 * 1024 + 413, backbuf + 465 * 1024 + 611);
    EXPECT_EQ(std::count(row.begin(), row.begin() + bar, kBar), bar) << percent;
    EXPECT_EQ(std::count(row.begin() + bar, row.end(), kTrack), 198 - bar) << percent;
  }
}

// The 144-pixel logo shrinks to fit half the screen in each direction and
// sits centred 30 pixels above the middle; only its tile shows, the backdrop
// left to the screen.
TEST_F(BootScreen, LogoFitsHalfTheScreenCentredAboveTheMiddle) {
  const struct {
    u32 w, h;
    i32 x0, y0, side;  // the square the logo may fill
  } cases[] = {{200, 150, 62, 7, 75}, {1024, 768, 440, 282, 144}};
  for (const auto& c : cases) {
    use_screen(c.w, c.h);
    draw_boot_screen(0);
    i32 x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    for (i32 y = 0; y < std::min(i32(c.h) / 2 + 80, i32(c.h)); ++y)
      for (i32 x = 0; x < i32(c.w); ++x)
        if (px(x, y) != kBackground) {
          x0 = std::min(x0, x);
          y0 = std::min(y0, y);
          x1 = std::max(x1, x);
          y1 = std::max(y1, y);
        }
    EXPECT_TRUE(x0 >= c.x0 && y0 >= c.y0 && x1 < c.x0 + c.side && y1 < c.y0 + c.side) << c.w;
    EXPECT_LE(std::abs((x0 - c.x0) - (c.x0 + c.side - 1 - x1)), 1);  // centred across
    EXPECT_GT(x1 - x0, c.side * 4 / 5);                              // the tile fills most of its square
    EXPECT_EQ(px(c.x0, c.y0), kBackground);                          // the backdrop's corner
    EXPECT_TRUE(std::equal(screen.begin(), screen.end(), backbuf));
    EXPECT_EQ(first_write_beyond_screen(), -1);
  }
  EXPECT_EQ(px(440 + 72, 282 + 45), 0xF8FCF8u);  // the white T, as RGB565 gives it back
}

}  // namespace
}  // namespace tavlin::test
