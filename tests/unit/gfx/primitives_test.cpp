// Back buffer primitives: fills, blending, outlines, text and the scaled
// image blit, checked against values worked out from the drawing rules.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <string>

#include "kernel/core/kstring.h"
#include "kernel/gfx/font.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::test {
namespace {

constexpr u32 kBg = kPaper, kInk = 0xFFFFFF;

using Primitives = ScreenCanvas;

// Number of pixels of `colour` in [x0, x1) x [y0, y1).
int count_in(u32 colour, i32 x0, i32 y0, i32 x1, i32 y1) {
  int n = 0;
  for (i32 y = y0; y < y1; ++y)
    for (i32 x = x0; x < x1; ++x) n += backbuf[size_t(y) * fb_width + size_t(x)] == colour;
  return n;
}

TEST_F(Primitives, FillsAndOutlinesClipToTheScreen) {
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
  draw_rect_outline(10, 10, 5, 4, kInk);  // one pixel on the inside edge
  EXPECT_EQ(count(kInk), 5 * 2 + 2 * 2);
  EXPECT_EQ(count_in(kInk, 10, 10, 15, 14), 5 * 2 + 2 * 2);
  EXPECT_EQ(count_in(kInk, 11, 11, 14, 13), 0);
}

// Each set glyph bit a scale x scale square, characters 8 and lines 10 (times the scale) apart, high bytes as
// '?'; cutting at the screen's edges is checked with the shapes.
TEST_F(Primitives, TextDrawsEachGlyphBitScaled) {
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
}

TEST_F(Primitives, EllipsisKeepsTenCharactersAndCutsElevenToSeven) {
  const std::pair<std::string, const char*> cases[] = {
      {"abcdefghij", "abcdefghij"}, {"abcdefghijk", "abcdefg..."}, {"", ""}, {std::string(200, 'x'), "xxxxxxx..."}};
  for (const auto& [in, want] : cases) {
    char out[32];
    text_truncate_ellipsis(in.c_str(), out);
    EXPECT_STREQ(out, want);
  }
}

TEST_F(Primitives, ImageScalesByRepeatingPixelsBlendsAndClips) {
  auto img = std::make_unique<DecodedImage>();
  *img = {1, 1, 2, 2, {0xFFFF0000, 0xFF00FF00, 0x800000FF, 0x00FFFFFF}};
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
  for (const auto [width, pitch] : {std::pair{1000u, 1024u}, std::pair{640u, 640u}}) {
    use_screen(width, 20, pitch);
    fill_rect(0, 0, static_cast<i32>(width), 20, 0x445566);
    present();
    for (u32 y = 0; y < 20; ++y)
      for (u32 x = 0; x < pitch; ++x)
        ASSERT_EQ(screen[y * pitch + x], x < width ? 0x445566u : 0xDEADBEEFu) << width << ": " << x << "," << y;
  }
}

}  // namespace
}  // namespace tavlin::test
