// Shaped fills: rows and colours worked out by hand from each shape's rules,
// and every shape dragged across every screen edge, where it must show just
// the part of the same shape drawn whole, with nothing written past the screen.
#include "kernel/gfx/shapes.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "unit/gfx/shapes_canvas.h"

namespace tavlin::test {
namespace {

constexpr u32 kInk = 0x00C0FFEE;
constexpr u32 kEdge = 0xA0C6E4;  // the capsule's side lines

using Shapes = CanvasTest;

// Each row's ink from column x0 to x1 inclusive, paper elsewhere (x1 < x0: none).
TEST_F(Shapes, RowsCoverTheirHandWorkedSpans) {
  const auto circle1 = [] { fill_circle(20, 10, 1, kInk); };
  const auto circle3 = [] { fill_circle(30, 20, 3, kInk); };  // half-widths 0, 2, 2, 3, 2, 2, 0
  const auto rounded3 = [] { fill_rounded_rect(0, 0, 10, 10, 3, kInk); };
  const auto square = [] { fill_rounded_rect(5, 6, 7, 4, 0, kInk); };
  const auto bar = [] { fill_rounded_rect(10, 10, 20, 3, 2, kInk); };  // corner rows overlap
  const auto vgrad4 = [] { fill_rounded_rect_vgrad(10, 5, 20, 12, 4, kInk, kInk); };  // insets 4, 2, 1, 1
  const auto capsule = [] { wp_draw_gradient_pill(10, 10, 20, 60, stopsB, 4); };   // radius 10
  const struct {
    const char* shape;
    std::function<void()> draw;
    i32 row, x0, x1;
  } cases[] = {
      {"radius 1", circle1, 10, 19, 20}, {"radius 1, row above", circle1, 9, 1, 0},
      {"radius 3, pole", circle3, 17, 1, 0}, {"radius 3, row -2", circle3, 18, 28, 31},
      {"radius 3, centre", circle3, 20, 27, 32}, {"radius 3, pole below", circle3, 23, 1, 0},
      {"rounded, top", rounded3, 0, 3, 6}, {"rounded, row 1", rounded3, 1, 1, 8},
      {"rounded, middle", rounded3, 5, 0, 9}, {"rounded, bottom", rounded3, 9, 3, 6},
      {"radius 0", square, 9, 5, 11}, {"boot bar, top", bar, 10, 12, 27},
      {"boot bar, middle", bar, 11, 11, 28}, {"boot bar, bottom", bar, 12, 12, 27},
      {"gradient, top", vgrad4, 5, 14, 25}, {"gradient, row 1", vgrad4, 6, 12, 27},
      {"gradient, row 3", vgrad4, 8, 11, 28}, {"gradient, middle", vgrad4, 9, 10, 29},
      {"gradient, bottom", vgrad4, 16, 14, 25}, {"capsule, top", capsule, 10, 1, 0},
      {"capsule, row 1", capsule, 11, 16, 23}, {"capsule, middle", capsule, 30, 10, 29},
  };
  for (const auto& c : cases) {
    clear(kPaper);
    c.draw();
    for (i32 x = 0; x < 64; ++x)
      EXPECT_EQ(px(x, c.row) != kPaper, x >= c.x0 && x <= c.x1) << c.shape << ": column " << x;
  }
}

TEST_F(Shapes, ColoursFollowTheEasedGradients) {
  const struct {
    const char* shape;
    std::function<void()> draw;
    std::vector<std::tuple<i32, i32, u32>> pixels;
  } cases[] = {
      // e = ease(t): 15 at t = 25, 50 at t = 50; channels move e percent, toward zero.
      {"black to white", [] { fill_rounded_rect_vgrad(0, 0, 16, 101, 1, 0x000000, 0xFFFFFF); },
       {{8, 0, 0x000000}, {8, 25, 0x262626}, {8, 50, 0x7F7F7F}, {8, 100, 0xFFFFFF}, {8, 101, kPaper}}},
      // Rows 0 and 100 inset by the whole radius; the last stop's colour from 40 %.
      {"stops E", [] { wp_draw_gradient_pill(10, 0, 20, 101, stopsE, 3); },
       {{20, 0, kPaper}, {20, 1, 0x62B6E9}, {20, 20, 0x8CC9EE}, {20, 40, 0xB6DCF4}, {20, 99, 0xB6DCF4},
        {20, 100, kPaper}}},
      // Side lines from y + r to y + h - r - 1.
      {"capsule sides", [] { wp_draw_gradient_pill(10, 10, 20, 60, stopsB, 4); },
       {{10, 19, kPaper}, {10, 20, kEdge}, {29, 59, kEdge}}},
  };
  for (const auto& c : cases) {
    use_canvas(64, 128);
    c.draw();
    for (const auto& [x, y, colour] : c.pixels) EXPECT_EQ(px(x, y), colour) << c.shape << " at " << x << "," << y;
  }
}

TEST_F(Shapes, ClippedAtEveryEdgeShowsThePartOfTheWholeShape) {
  const i32 W = 61, H = 37, M = 250;  // the whole shapes are drawn M pixels in from a larger canvas's edges
  const std::function<void(i32, i32)> shapes[] = {
      [](i32 x, i32 y) { fill_circle(x, y, 9, kInk); },
      [](i32 x, i32 y) { fill_rounded_rect(x - 4, y + 3, 23, 17, 6, 0x111111); },
      [](i32 x, i32 y) { fill_rounded_rect_vgrad(x + 2, y - 12, 19, 27, 7, 0x203040, 0xF0E0D0); },
      [](i32 x, i32 y) { wp_draw_gradient_pill(x - 10, y - 30, 14, 70, stopsC, 5); },
      [](i32 x, i32 y) { fill_glass_panel(x - 20, y - 8, 30, 20, 6); },
      [](i32 x, i32 y) { draw_globe_outline(x + 5, y + 5, 8); }};
  for (i32 x : {-200, -25, -7, 0, 20, W - 9, W - 1, W + 5, W + 200})
    for (i32 y : {-200, -25, -6, 0, 15, H - 8, H - 1, H + 4, H + 200}) {
      SCOPED_TRACE(::testing::Message() << "at " << x << "," << y);
      use_canvas(W + 2 * M, H + 2 * M);
      for (const auto& draw : shapes) draw(x + M, y + M);
      Picture whole(W, H, 0);
      for (i32 j = 0; j < H; ++j)
        for (i32 i = 0; i < W; ++i) whole.set(i, j, px(i + M, j + M));
      use_canvas(W, H);
      for (const auto& draw : shapes) draw(x, y);
      ASSERT_TRUE(matches(whole));
      ASSERT_EQ(first_write_beyond_screen(), -1);
    }
}

TEST_F(Shapes, EmptyShapesDrawNothingAndHugeOnesStayOnScreen) {
  fill_circle(20, 20, 0, kInk);
  fill_circle(20, 20, -3, kInk);
  fill_rounded_rect_vgrad(5, 5, 0, 10, 2, kInk, kInk);
  fill_rounded_rect_vgrad(5, 5, 10, -1, 2, kInk, kInk);
  wp_draw_gradient_pill(10, 10, 20, 20, nullptr, 0);
  wp_draw_gradient_pill(10, 10, 20, 20, stopsA, 0);
  EXPECT_EQ(count(kPaper), 64 * 48);
  fill_circle(30, 20, 100000, kInk);
  EXPECT_EQ(count(kInk), 64 * 48);
  fill_rounded_rect(-50000, -50000, 100000, 100000, 40000, kInk);
  fill_rounded_rect_vgrad(-70000, -10, 140000, 90000, 30000, kInk, kInk);
  wp_draw_gradient_pill(-1000000, -1000000, 2000000, 3000000, stopsD, 5);
  draw_globe_outline(32, 24, 90000);
  fill_glass_panel(-100, -100, 1000, 1000, 300);
  EXPECT_EQ(first_write_beyond_screen(), -1);
}

}  // namespace
}  // namespace tavlin::test
