// The boot screen: the progress bar's width and the label for each step.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "kernel/init/boot_screen.h"
#include "kernel/gfx/gfx.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::test {
namespace {

constexpr u32 kBackground = 0x1C1C1E;
constexpr u32 kTrack = 0x3A3A3C;
constexpr u32 kBar = 0xFFFFFF;

using BootScreen = ScreenCanvas;

// The label band (8 rows around H / 2 + 98) as drawn on a clean background.
std::vector<u32> label_band(const char* label) {
  std::fill(backbuf, backbuf + size_t(fb_width) * fb_height, kBackground);
  draw_text_centered(fb_width / 2, fb_height / 2 + 98, label, 0x888888, 1);
  const size_t first = size_t(fb_height / 2 + 94) * fb_width;
  return std::vector<u32>(backbuf + first, backbuf + first + 8 * fb_width);
}

std::vector<u32> current_label_band() {
  const size_t first = size_t(fb_height / 2 + 94) * fb_width;
  return std::vector<u32>(backbuf + first, backbuf + first + 8 * fb_width);
}

TEST_F(BootScreen, LabelForEveryProgressBand) {
  struct Case {
    i32 percent;
    const char* label;
  } cases[] = {{0, "Initialising hardware..."},  {19, "Initialising hardware..."}, {20, "Setting up memory..."},
               {39, "Setting up memory..."},      {40, "Loading drivers..."},        {59, "Loading drivers..."},
               {60, "Starting services..."},      {79, "Starting services..."},      {80, "Almost ready..."},
               {99, "Almost ready..."},           {100, "Ready!"},                   {101, "Almost ready..."}};
  for (const Case& c : cases) {
    const std::vector<u32> expect = label_band(c.label);
    clear(kPaper);
    draw_boot_screen(c.percent);
    EXPECT_EQ(current_label_band(), expect) << c.percent;
  }
}

// The bar is 3 rows at (412, 464) on 1024 x 768; its middle row reaches one
// pixel further than the outer rows because of the radius-2 corners.
TEST_F(BootScreen, BarWidthFollowsProgress) {
  const i32 x = 412, mid = 465;
  draw_boot_screen(0);
  EXPECT_EQ(count(kBar), 0);
  EXPECT_EQ(px(x, mid), kBackground);
  EXPECT_EQ(px(x + 1, mid), kTrack);
  EXPECT_EQ(px(x + 198, mid), kTrack);
  EXPECT_EQ(px(x + 2, 464), kTrack);
  EXPECT_EQ(px(x + 1, 464), kBackground);

  draw_boot_screen(10);  // 20 pixels
  EXPECT_EQ(px(x + 1, mid), kBar);
  EXPECT_EQ(px(x + 18, mid), kBar);
  EXPECT_EQ(px(x + 19, mid), kTrack);
  EXPECT_EQ(px(x + 17, 466), kBar);
  EXPECT_EQ(px(x + 18, 466), kTrack);

  draw_boot_screen(50);  // 100 pixels
  EXPECT_EQ(px(x + 98, mid), kBar);
  EXPECT_EQ(px(x + 99, mid), kTrack);

  draw_boot_screen(100);  // the whole track
  EXPECT_EQ(px(x + 198, mid), kBar);
  EXPECT_EQ(px(x + 199, mid), kBackground);
  EXPECT_EQ(count(kTrack), 0);
}

// The box of pixels above the track that differ from the background.
struct Box {
  i32 x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
};
Box logo_box() {
  Box b;
  for (i32 y = 0; y < std::min(i32(fb_height) / 2 + 80, i32(fb_height)); ++y)
    for (i32 x = 0; x < i32(fb_width); ++x)
      if (backbuf[size_t(y) * fb_width + x] != kBackground) {
        b.x0 = std::min(b.x0, x);
        b.y0 = std::min(b.y0, y);
        b.x1 = std::max(b.x1, x);
        b.y1 = std::max(b.y1, y);
      }
  return b;
}

TEST_F(BootScreen, LogoCentredThirtyPixelsAboveTheMiddle) {
  draw_boot_screen(0);
  // The 144 x 144 logo fits: drawn as it is at ((1024 - 144) / 2, (768 - 144) / 2 - 30),
  // its backdrop left to the screen, so only its rounded tile shows.
  const Box b = logo_box();
  EXPECT_GE(b.x0, 440);
  EXPECT_GE(b.y0, 282);
  EXPECT_LE(b.x1, 583);
  EXPECT_LE(b.y1, 425);
  EXPECT_EQ(b.x0 - 440, 583 - b.x1);  // centred across
  EXPECT_EQ(px(440, 282), kBackground);
  EXPECT_EQ(px(440 + 72, 282 + 45), 0xF8FCF8u);  // the white T, as RGB565 gives it back
}

TEST_F(BootScreen, LogoShrinksToHalfTheScreen) {
  use_screen(200, 150);
  draw_boot_screen(0);
  // Half the width gives 100 x 100, half the height then 75 x 75.
  const Box b = logo_box();
  EXPECT_GE(b.x0, 62);
  EXPECT_GE(b.y0, 7);
  EXPECT_LE(b.x1, 136);
  EXPECT_LE(b.y1, 81);
  EXPECT_GT(b.x1 - b.x0, 60);  // the tile fills most of the 75-pixel square
  EXPECT_EQ(first_write_beyond_screen(), -1);
}

TEST_F(BootScreen, PresentsAndStaysOnScreen) {
  use_screen(320, 200);
  draw_boot_screen(30);
  EXPECT_EQ(screen[0], kBackground);
  EXPECT_TRUE(std::equal(screen.begin(), screen.end(), backbuf));
  EXPECT_EQ(first_write_beyond_screen(), -1);
}

}  // namespace
}  // namespace tavlin::test
