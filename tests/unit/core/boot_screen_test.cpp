// The boot screen: the label for each step, and the logo fitted into a small
// screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "kernel/gfx/gfx.h"
#include "kernel/init/boot_screen.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::test {
namespace {

constexpr u32 kBackground = 0x1C1C1E;

using BootScreen = ScreenCanvas;

// The 8 rows of the label centred at H / 2 + 98.
std::vector<u32> label_band() {
  const size_t first = size_t(fb_height / 2 + 94) * fb_width;
  return std::vector<u32>(backbuf + first, backbuf + first + 8 * fb_width);
}

TEST_F(BootScreen, ALabelForEveryProgressBandAndTheLogoShrunkOnASmallScreen) {
  const std::pair<i32, const char*> cases[] = {
      {0, "Initialising hardware..."}, {19, "Initialising hardware..."}, {20, "Setting up memory..."},
      {40, "Loading drivers..."}, {60, "Starting services..."}, {80, "Almost ready..."}, {99, "Almost ready..."},
      {100, "Ready!"}, {101, "Almost ready..."}};
  for (const auto& [percent, label] : cases) {
    clear(kBackground);
    draw_text_centered(fb_width / 2, fb_height / 2 + 98, label, 0x888888, 1);
    const std::vector<u32> expect = label_band();
    draw_boot_screen(percent);
    EXPECT_EQ(label_band(), expect) << percent;
  }
  // The 144-pixel logo shrinks to fit half a small screen, the 75-pixel square at (62, 7).
  use_screen(200, 150);
  draw_boot_screen(0);
  int logo = 0;
  for (i32 y = 7; y < 7 + 75; ++y)
    for (i32 x = 62; x < 62 + 75; ++x) logo += px(x, y) != kBackground;
  EXPECT_GT(logo, 75 * 75 / 2);
  EXPECT_EQ(px(55, 44), kBackground);  // where the unshrunk logo would reach
  EXPECT_TRUE(std::equal(screen.begin(), screen.end(), backbuf));
  EXPECT_EQ(first_write_beyond_screen(), -1);
}

}  // namespace
}  // namespace tavlin::test
