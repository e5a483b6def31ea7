// Shaped fills: hand-worked pixels for each shape's rules and edge cases,
// and every shape dragged across every screen edge against the rules drawn
// pixel by pixel, with nothing written past the screen.
#include "kernel/gfx/shapes.h"

#include <gtest/gtest.h>

#include "unit/gfx/shapes_canvas.h"
#include "unit/gfx/shapes_reference.h"

namespace tavlin::test {
namespace {

constexpr u32 kInk = 0x00C0FFEE;

using Circle = CanvasTest;
using RoundedRect = CanvasTest;
using Gradient = CanvasTest;
using Pill = CanvasTest;
using Glass = CanvasTest;
using Globe = CanvasTest;
using ShapeClipping = CanvasTest;

TEST_F(Circle, RadiusOneIsTwoPixelsOnTheCentreRow) {
  fill_circle(20, 10, 1, kInk);
  EXPECT_EQ(count(kInk), 2);
  EXPECT_EQ(px(19, 10), kInk);
  EXPECT_EQ(px(20, 10), kInk);
}

TEST_F(Circle, RadiusThreeRowsAndEmptyPoles) {
  // Half-widths: row 0 -> 3, rows +-1 -> 2 (8 >= 4), rows +-2 -> 2 (5 >= 4), rows +-3 -> 0.
  fill_circle(30, 20, 3, kInk);
  const int half[7] = {0, 2, 2, 3, 2, 2, 0};
  for (int row = 0; row < 7; ++row)
    for (int x = 20; x < 40; ++x) {
      const bool inside = x >= 30 - half[row] && x < 30 + half[row];
      EXPECT_EQ(px(x, 17 + row) == kInk, inside) << x << "," << 17 + row;
    }
  EXPECT_EQ(count(kInk), 6 + 4 * 4 + 0);
}

TEST_F(RoundedRect, CornerPixelUntouchedEdgesFilled) {
  fill_rounded_rect(0, 0, 10, 10, 3, kInk);
  EXPECT_EQ(px(0, 0), kPaper);
  EXPECT_EQ(px(3, 0), kInk);
  EXPECT_EQ(px(0, 3), kInk);
  // Row 0 keeps only the central band (3..6); rows 1 and 2 reach columns 1..8.
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(px(x, 0) == kInk, x >= 3 && x <= 6) << x;
    EXPECT_EQ(px(x, 1) == kInk, x >= 1 && x <= 8) << x;
    EXPECT_EQ(px(x, 9) == kInk, x >= 3 && x <= 6) << x;
  }
  EXPECT_EQ(px(10, 5), kPaper);
  EXPECT_EQ(px(5, 10), kPaper);
}

TEST_F(RoundedRect, RadiusZeroIsAPlainRectangle) {
  fill_rounded_rect(5, 6, 7, 4, 0, kInk);
  EXPECT_EQ(count(kInk), 28);
  EXPECT_EQ(px(5, 6), kInk);
  EXPECT_EQ(px(11, 9), kInk);
}

TEST_F(RoundedRect, ShortShapesOverlapTheirCornerRows) {
  // The boot bar: 3 rows with radius 2. Rows 0 and 2 are the central band,
  // the middle row reaches one pixel further at both ends.
  fill_rounded_rect(10, 10, 20, 3, 2, kInk);
  for (int x = 8; x < 32; ++x) {
    EXPECT_EQ(px(x, 10) == kInk, x >= 12 && x <= 27) << x;
    EXPECT_EQ(px(x, 11) == kInk, x >= 11 && x <= 28) << x;
    EXPECT_EQ(px(x, 12) == kInk, x >= 12 && x <= 27) << x;
  }
  Picture expect(64, 48, kPaper);
  ref::rounded(expect, 30, 20, 16, 9, 6, kInk);
  clear(kPaper);
  fill_rounded_rect(30, 20, 16, 9, 6, kInk);
  EXPECT_TRUE(matches(expect));
}

TEST_F(Gradient, BlackToWhiteOverOneHundredAndOneRows) {
  use_canvas(16, 120);
  fill_rounded_rect_vgrad(0, 0, 16, 101, 1, 0x000000, 0xFFFFFF);
  EXPECT_EQ(px(8, 0), 0x000000u);
  EXPECT_EQ(px(8, 50), 0x7F7F7Fu);   // e = 50 at t = 50: 255 * 50 / 100
  EXPECT_EQ(px(8, 25), 0x262626u);   // e = 125 * 625 / 5000 = 15: 38
  EXPECT_EQ(px(8, 100), 0xFFFFFFu);
  EXPECT_EQ(px(8, 101), kPaper);
}

TEST_F(Gradient, CornerRowsAreInsetAndMirrored) {
  // Radius 4: insets 4, 2, 1, 1 from the top, the same from the bottom.
  fill_rounded_rect_vgrad(10, 5, 20, 12, 4, kInk, kInk);
  const int inset[12] = {4, 2, 1, 1, 0, 0, 0, 0, 1, 1, 2, 4};
  for (int row = 0; row < 12; ++row)
    for (int x = 8; x < 32; ++x)
      EXPECT_EQ(px(x, 5 + row) == kInk, x >= 10 + inset[row] && x < 30 - inset[row]) << x << "," << row;
}

TEST_F(Pill, StopsEHoldTheLastColourFromFortyPercent) {
  use_canvas(40, 120);
  wp_draw_gradient_pill(10, 0, 20, 101, stopsE, 3);
  // Rows 0 and 100 are inset by the whole radius; row 1 still has e = 0.
  EXPECT_EQ(px(20, 0), kPaper);
  EXPECT_EQ(px(20, 1), 0x62B6E9u);
  for (int row = 40; row < 100; ++row) EXPECT_EQ(px(20, row), 0xB6DCF4u) << row;
  EXPECT_EQ(px(20, 100), kPaper);
  // Row 20: u = 50 in the first segment, e = 50, channels halfway (toward zero).
  EXPECT_EQ(px(20, 20), 0x8CC9EEu);
}

TEST_F(Pill, CapsuleEndsAndEdgeLines) {
  use_canvas(40, 120);
  wp_draw_gradient_pill(10, 10, 20, 60, stopsB, 4);
  // Radius 10: the first row is inset by the whole radius and stays empty;
  // the second (dy = 9, (10 - a)^2 <= 19) is inset by 6.
  for (int x = 8; x < 32; ++x) {
    EXPECT_EQ(px(x, 10), kPaper) << x;
    EXPECT_EQ(px(x, 11) != kPaper, x >= 16 && x <= 23) << x;
  }
  // Edge lines run from y + r to y + h - r - 1 on the outer columns.
  EXPECT_EQ(px(10, 19), kPaper);
  EXPECT_EQ(px(10, 20), 0xA0C6E4u);
  EXPECT_EQ(px(29, 59), 0xA0C6E4u);
  EXPECT_NE(px(29, 60), 0xA0C6E4u);
  EXPECT_NE(px(11, 40), 0xA0C6E4u);
}

TEST_F(Pill, PartlyAboveTheTopDrawsOnlyVisibleRows) {
  use_canvas(40, 60);
  wp_draw_gradient_pill(10, -30, 20, 80, stopsA, 6);
  Picture expect(40, 60, kPaper);
  ref::pill(expect, 10, -30, 20, 80, stopsA, 6);
  EXPECT_TRUE(matches(expect));
  EXPECT_EQ(px(10, 0), 0xA0C6E4u);  // the edge line starts at row 0
  EXPECT_EQ(first_write_beyond_screen(), -1);
}

TEST_F(Glass, OverBlackTintsCornersAndFramesInWhite) {
  clear(0x000000);
  fill_glass_panel(4, 4, 50, 30, 8);
  EXPECT_EQ(px(4, 4), 0xFFFFFFu);    // frame line
  EXPECT_EQ(px(53, 33), 0xFFFFFFu);  // frame line, far corner
  EXPECT_EQ(px(5, 5), 0x3E3E3Eu);    // outside the rounded corner, off the frame
  EXPECT_EQ(px(20, 25), 0xEDEDEDu);  // body
  EXPECT_EQ(px(20, 8), 0xF0F0F0u);   // highlight band (rows 6..15)
  EXPECT_EQ(px(20, 16), 0xEDEDEDu);
  EXPECT_EQ(px(3, 4), 0x000000u);
}

TEST_F(Globe, WhiteCircleEquatorAndLensInABlackFrame) {
  draw_globe_outline(20, 20, 5);
  EXPECT_EQ(px(15, 15), 0x000000u);   // frame corner
  EXPECT_EQ(px(25, 25), 0x000000u);
  EXPECT_EQ(px(20, 15), 0xFFFFFFu);   // top of the circle
  EXPECT_EQ(px(25, 20), 0xFFFFFFu);   // equator end
  EXPECT_EQ(px(20, 19), 0xFFFFFFu);   // equator band's upper line
  EXPECT_EQ(px(18, 20), 0xFFFFFFu);   // lens at d = 0: half-width 25 / 11 = 2
  EXPECT_EQ(px(20, 20), kPaper);      // the centre stays open
  EXPECT_EQ(px(19, 20), kPaper);
  Picture expect(64, 48, kPaper);
  ref::globe(expect, 20, 20, 5);
  EXPECT_TRUE(matches(expect));
}

// Every shape, at positions straddling and beyond each edge of an odd-sized
// screen, against its rules drawn pixel by pixel.
TEST_F(ShapeClipping, EveryShapeAcrossEveryEdge) {
  const i32 W = 61, H = 37;
  const i32 xs[] = {-200, -25, -7, 0, 20, W - 9, W - 1, W + 5, W + 200};
  const i32 ys[] = {-200, -25, -6, 0, 15, H - 8, H - 1, H + 4, H + 200};
  for (i32 x : xs)
    for (i32 y : ys) {
      SCOPED_TRACE(::testing::Message() << "at " << x << "," << y);
      Picture expect(W, H, kPaper);
      use_canvas(W, H);
      fill_circle(x, y, 9, kInk);
      ref::circle(expect, x, y, 9, kInk);
      fill_rounded_rect(x - 4, y + 3, 23, 17, 6, 0x111111);
      ref::rounded(expect, x - 4, y + 3, 23, 17, 6, 0x111111);
      fill_rounded_rect_vgrad(x + 2, y - 12, 19, 27, 7, 0x203040, 0xF0E0D0);
      ref::vgrad(expect, x + 2, y - 12, 19, 27, 7, 0x203040, 0xF0E0D0);
      wp_draw_gradient_pill(x - 10, y - 30, 14, 70, stopsC, 5);
      ref::pill(expect, x - 10, y - 30, 14, 70, stopsC, 5);
      draw_globe_outline(x + 5, y + 5, 8);
      ref::globe(expect, x + 5, y + 5, 8);
      ASSERT_TRUE(matches(expect));
      ASSERT_EQ(first_write_beyond_screen(), -1);
    }
}

TEST_F(ShapeClipping, EmptyShapesDrawNothing) {
  fill_circle(20, 20, 0, kInk);
  fill_circle(20, 20, -3, kInk);
  fill_rounded_rect_vgrad(5, 5, 0, 10, 2, kInk, kInk);
  fill_rounded_rect_vgrad(5, 5, 10, -1, 2, kInk, kInk);
  wp_draw_gradient_pill(10, 10, 20, 20, nullptr, 0);
  wp_draw_gradient_pill(10, 10, 20, 20, stopsA, 0);
  EXPECT_EQ(count(kPaper), 64 * 48);
}

TEST_F(ShapeClipping, HugeShapesStayOnScreen) {
  fill_circle(30, 20, 100000, kInk);
  EXPECT_EQ(count(kInk), 64 * 48);
  clear(kPaper);
  fill_rounded_rect(-50000, -50000, 100000, 100000, 40000, kInk);
  fill_rounded_rect_vgrad(-70000, -10, 140000, 90000, 30000, kInk, kInk);
  wp_draw_gradient_pill(-1000000, -1000000, 2000000, 3000000, stopsD, 5);
  draw_globe_outline(32, 24, 90000);
  fill_glass_panel(-100, -100, 1000, 1000, 300);
  EXPECT_EQ(first_write_beyond_screen(), -1);
}

}  // namespace
}  // namespace tavlin::test
