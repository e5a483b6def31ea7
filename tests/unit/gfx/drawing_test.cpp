// Fills, text and the image blit against values worked out from the drawing rules; every shape and text dragged
// across every screen edge shows just its part of the same drawing whole, and nothing past the screen.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>

#include "kernel/gfx/font.h"
#include "kernel/gfx/shapes.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::test {
namespace {

constexpr u32 kBg = kPaper, kInk = 0xFFFFFF;

using Primitives = ScreenCanvas;
using Shapes = CanvasTest;

// Number of pixels of `colour` in [x0, x1) x [y0, y1).
int count_in(u32 colour, i32 x0, i32 y0, i32 x1, i32 y1) {
  int n = 0;
  for (i32 y = y0; y < y1; ++y)
    for (i32 x = x0; x < x1; ++x) n += backbuf[size_t(y) * fb_width + size_t(x)] == colour;
  return n;
}

TEST_F(Primitives, FillsClipToTheScreen) {
  const std::tuple<i32, i32, i32, i32, int> cases[] = {  // x, y, w, h, pixels on screen
      {5, 5, 0, 10, 0}, {5, 5, 10, -1, 0}, {1024, 0, 10, 10, 0}, {-20, -20, 20, 20, 0},
      {2147483600, 2147483600, 2147483647, 2147483647, 0},
      {-2147483647, -2147483647, 2147483647, 2147483647, 0},  // ends at -1
      {-100000, -100000, 2147483647, 2147483647, 1024 * 768}, {-10, 5, 20, 3, 30}};
  for (const auto& [x, y, w, h, on_screen] : cases) {
    clear(kBg);
    fill_rect(x, y, w, h, 0xFF0000);
    EXPECT_EQ(count(0xFF0000), on_screen) << x << "," << y << " " << w << "x" << h;
  }
  EXPECT_EQ(count_in(0xFF0000, 0, 5, 10, 8), 30);  // the last one's part on screen
}

// Each set glyph bit a scale x scale square, characters 8 and lines 10 (times the scale) apart, high bytes as
// '?'; cutting at the screen's edges is checked with the shapes.
TEST_F(Primitives, TextDrawsEachGlyphBitScaledAndLabelsAreCutWithAnEllipsis) {
  for (i32 scale : {1, 2}) {
    clear(kBg);
    draw_text(10, 10, "AB\n\xE9", kInk, scale);
    const std::tuple<i32, i32, u8> glyphs[] = {{10, 10, 'A'}, {10 + 8 * scale, 10, 'B'}, {10, 10 + 10 * scale, '?'}};
    int ink = 0;
    for (const auto& [x, y, glyph] : glyphs)
      for (i32 r = 0; r < 8 * scale; ++r)
        for (i32 b = 0; b < 8 * scale; ++b) {
          const bool set = font8x8[glyph][r / scale] >> (b / scale) & 1;
          ink += set;
          ASSERT_EQ(px(x + b, y + r), set ? kInk : kBg) << glyph << " scale " << scale << " at " << b << "," << r;
        }
    EXPECT_EQ(count(kInk), ink) << scale;  // nothing drawn beside the glyphs
  }
  // Labels keep ten characters and cut eleven or more to seven and an ellipsis.
  const std::pair<std::string, const char*> cases[] = {
      {"abcdefghij", "abcdefghij"}, {"abcdefghijk", "abcdefg..."}, {"", ""}, {std::string(200, 'x'), "xxxxxxx..."}};
  for (const auto& [in, want] : cases) {
    char out[32];
    text_truncate_ellipsis(in.c_str(), out);
    EXPECT_STREQ(out, want);
  }
}

TEST_F(Primitives, ImageScalesByRepeatingPixelsBlendsAndClips) {
  auto img = std::make_unique<DecodedImage>(DecodedImage{1, 1, 2, 2, {0xFFFF0000, 0xFF00FF00, 0x800000FF, 0x00FFFFFF}});
  clear(0x101010);
  draw_decoded_image(img.get(), 10, 20, 4, 4);
  // Half alpha blends over the background; the transparent pixel leaves it.
  EXPECT_EQ((std::vector<int>{count_in(0xFF0000, 10, 20, 12, 22), count_in(0x00FF00, 12, 20, 14, 22),
                              count_in(0x070787, 10, 22, 12, 24), count_in(0x101010, 12, 22, 14, 24)}),
            (std::vector<int>{4, 4, 4, 4}));
  clear(kBg);
  draw_decoded_image(img.get(), -5, -5, 20, 20);
  draw_decoded_image(img.get(), 1020, 760, 200, 200);
  EXPECT_EQ(count(0xFF0000), 25 + 32);
  img->valid = 0;
  clear(kBg);
  draw_decoded_image(img.get(), 0, 0, 10, 10);
  draw_decoded_image(nullptr, 0, 0, 10, 10);
  EXPECT_EQ(count(kBg), 1024 * 768);
}

TEST_F(Primitives, PresentCopiesRowsAtThePitchAndLeavesTheMargin) {
  use_screen(1000, 20, 1024);
  fill_rect(0, 0, 1000, 20, 0x445566);
  present();
  for (u32 y = 0; y < 20; ++y)
    for (u32 x = 0; x < 1024; ++x) ASSERT_EQ(screen[y * 1024 + x], x < 1000 ? 0x445566u : 0xDEADBEEFu) << x << "," << y;
}

TEST_F(Shapes, ClippedAtEveryEdgeShowsThePartOfTheWholeShape) {
  const i32 W = 61, H = 37, M = 250;  // the whole shapes are drawn M pixels in from a larger canvas's edges
  const std::function<void(i32, i32)> shapes[] = {
      [](i32 x, i32 y) { fill_circle(x, y, 9, kInk); },
      [](i32 x, i32 y) { fill_rounded_rect(x - 4, y + 3, 23, 17, 6, 0x111111); },
      [](i32 x, i32 y) { fill_rounded_rect_vgrad(x + 2, y - 12, 19, 27, 7, 0x203040, 0xF0E0D0); },
      [](i32 x, i32 y) { wp_draw_gradient_pill(x - 10, y - 30, 14, 70, stopsC, 5); },
      [](i32 x, i32 y) { fill_glass_panel(x - 20, y - 8, 30, 20, 6); },
      [](i32 x, i32 y) { draw_globe_outline(x + 5, y + 5, 8); },
      [](i32 x, i32 y) { draw_text(x - 12, y - 4, "Wj\nM\xE9", 0x00FF8800, 1); },
      [](i32 x, i32 y) { draw_text(x - 30, y + 6, "Mw\nW", 0x0000FF88, 2); }};
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

TEST_F(Shapes, EmptyShapesDrawNothingSmallOnesCoverHandWorkedRowsAndHugeOnesStayOnScreen) {
  fill_circle(20, 20, 0, kInk);
  fill_circle(20, 20, -3, kInk);
  fill_rounded_rect_vgrad(5, 5, 0, 10, 2, kInk, kInk);
  fill_rounded_rect_vgrad(5, 5, 10, -1, 2, kInk, kInk);
  wp_draw_gradient_pill(10, 10, 20, 20, nullptr, 0);
  wp_draw_gradient_pill(10, 10, 20, 20, stopsA, 0);
  EXPECT_EQ(count(kPaper), 64 * 48);
  fill_circle(30, 40, 3, kInk);  // half-widths 0, 2, 2, 3, 2, 2, 0: row -2 from 28 to 31
  for (i32 x = 0; x < 64; ++x) EXPECT_EQ(px(x, 38) == kInk, x >= 28 && x <= 31) << x;
  fill_rounded_rect(10, 10, 20, 3, 2, kInk);  // a boot bar whose corner rows overlap: the middle one inset by 1
  for (i32 x = 0; x < 64; ++x) EXPECT_EQ(px(x, 11) == kInk, x >= 11 && x <= 28) << x;
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
