// Back buffer primitives: fills, blending, outlines, text and the scaled
// image blit, checked against values worked out from the drawing rules.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "kernel/core/kstring.h"
#include "kernel/gfx/font.h"
#include "kernel/gfx/gfx.h"
#include "unit/core/screen_fixture.h"

namespace tavlin {
namespace {

constexpr u32 kBg = 0x000000;

class Primitives : public test::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    clear(kBg);
  }
  static void clear(u32 colour) { fill_rect(0, 0, static_cast<i32>(fb_width), static_cast<i32>(fb_height), colour); }
  static u32 px(i32 x, i32 y) { return backbuf[static_cast<size_t>(y) * fb_width + x]; }
  // Number of pixels of `colour` in [x0, x1) x [y0, y1).
  static int count(u32 colour, i32 x0 = 0, i32 y0 = 0, i32 x1 = -1, i32 y1 = -1) {
    if (x1 < 0) x1 = static_cast<i32>(fb_width);
    if (y1 < 0) y1 = static_cast<i32>(fb_height);
    int n = 0;
    for (i32 y = y0; y < y1; ++y)
      for (i32 x = x0; x < x1; ++x) n += px(x, y) == colour;
    return n;
  }
  // Glyph pixels of character c drawn at scale 1 from (x, y)?
  static bool glyph_at(char c, i32 x, i32 y, u32 colour) {
    for (int r = 0; r < 8; ++r)
      for (int b = 0; b < 8; ++b) {
        const bool set = font8x8[static_cast<int>(c)][r] >> b & 1;
        if (set != (px(x + b, y + r) == colour)) return false;
      }
    return true;
  }
};

TEST_F(Primitives, FillClipsAtTheLeftEdge) {
  fill_rect(-10, 5, 20, 3, 0xFF0000);
  EXPECT_EQ(count(0xFF0000), 30);
  EXPECT_EQ(count(0xFF0000, 0, 5, 10, 8), 30);
}

TEST_F(Primitives, EmptyAndOffScreenFillsDrawNothing) {
  fill_rect(5, 5, 0, 10, 0xFF0000);
  fill_rect(5, 5, 10, -1, 0xFF0000);
  fill_rect(1024, 0, 10, 10, 0xFF0000);
  fill_rect(0, 768, 10, 10, 0xFF0000);
  fill_rect(-20, -20, 20, 20, 0xFF0000);
  fill_rect(2147483600, 2147483600, 2147483647, 2147483647, 0xFF0000);
  EXPECT_EQ(count(0xFF0000), 0);
}

TEST_F(Primitives, HugeFillCoversExactlyTheScreen) {
  fill_rect(-2147483647, -2147483647, 2147483647, 2147483647, 0x00FF00);
  EXPECT_EQ(count(0x00FF00), 0);  // ends at -1: nothing on screen
  fill_rect(-100000, -100000, 2147483647, 2147483647, 0x00FF00);
  EXPECT_EQ(count(0x00FF00), 1024 * 768);
}

TEST_F(Primitives, AlphaBlendRoundsDown) {
  fill_rect_alpha(0, 0, 1, 1, 0xFFFFFF, 128);
  EXPECT_EQ(px(0, 0), 0x808080u);
  fill_rect(1, 0, 1, 1, 0xFF0000);
  fill_rect_alpha(1, 0, 1, 1, 0xFFFFFF, 128);
  EXPECT_EQ(px(1, 0), 0xFF8080u);
}

TEST_F(Primitives, AlphaMatchesTheFormulaForEveryAlpha) {
  const u32 colour = 0x3C7FE1, old = 0xC80A55;
  for (u32 a = 0; a <= 255; ++a) {
    fill_rect(0, 0, 1, 1, old);
    fill_rect_alpha(0, 0, 1, 1, colour, a);
    u32 expect = 0;
    for (int shift : {16, 8, 0}) {
      const u32 c = colour >> shift & 0xFF, o = old >> shift & 0xFF;
      expect |= ((c * a + o * (255 - a)) / 255) << shift;
    }
    ASSERT_EQ(px(0, 0), expect) << a;
    ASSERT_EQ(blend_colour(colour, old, a), a == 0 ? old : expect) << a;
  }
}

TEST_F(Primitives, BlendIsExactForEveryChannelPair) {
  for (u32 c = 0; c < 256; c += 3)
    for (u32 o = 0; o < 256; o += 5)
      for (u32 a : {1u, 77u, 128u, 200u, 254u})
        ASSERT_EQ(blend_colour(c << 8 | c, o << 16 | o, a),
                  ((o * (255 - a)) / 255) << 16 | ((c * a) / 255) << 8 | (c * a + o * (255 - a)) / 255);
}

TEST_F(Primitives, AlphaFullAndZero) {
  fill_rect(0, 0, 4, 4, 0x123456);
  fill_rect_alpha(0, 0, 2, 2, 0xABCDEF, 0);
  EXPECT_EQ(px(0, 0), 0x123456u);
  fill_rect_alpha(0, 0, 2, 2, 0xABCDEF, 255);
  EXPECT_EQ(px(1, 1), 0xABCDEFu);
}

TEST_F(Primitives, OutlineIsOnePixelOnTheInsideEdge) {
  draw_rect_outline(10, 10, 5, 4, 0xFFFFFF);
  EXPECT_EQ(count(0xFFFFFF), 5 * 2 + 2 * 2);
  EXPECT_EQ(px(10, 10), 0xFFFFFFu);
  EXPECT_EQ(px(14, 13), 0xFFFFFFu);
  EXPECT_EQ(px(12, 11), kBg);
  EXPECT_EQ(px(15, 10), kBg);
}

TEST_F(Primitives, TextGlyphsAndLineFeeds) {
  draw_text(100, 50, "Hi\nA", 0xFFFFFF, 1);
  EXPECT_TRUE(glyph_at('H', 100, 50, 0xFFFFFF));
  EXPECT_TRUE(glyph_at('i', 108, 50, 0xFFFFFF));
  EXPECT_TRUE(glyph_at('A', 100, 60, 0xFFFFFF));
}

TEST_F(Primitives, ScaledTextPutsTheSecondLineTwentyBelow) {
  draw_text(10, 10, "I\nI", 0xFFFFFF, 2);
  // Each set glyph bit is a 2x2 square; line two starts 20 pixels down.
  for (int r = 0; r < 8; ++r)
    for (int b = 0; b < 8; ++b) {
      const bool set = font8x8['I'][r] >> b & 1;
      ASSERT_EQ(px(10 + 2 * b + 1, 10 + 2 * r + 1) == 0xFFFFFF, set);
      ASSERT_EQ(px(10 + 2 * b, 30 + 2 * r) == 0xFFFFFF, set);
    }
}

TEST_F(Primitives, HighBytesDrawAsQuestionMarks) {
  draw_text(0, 0, "\xE9", 0xFFFFFF, 1);
  EXPECT_TRUE(glyph_at('?', 0, 0, 0xFFFFFF));
}

TEST_F(Primitives, TextClipsAtEveryEdge) {
  draw_text(-4, -4, "WWWW", 0xFFFFFF, 1);
  draw_text(1020, 764, "WW", 0xFFFFFF, 1);
  draw_text(1020, 764, "WW", 0xFFFFFF, 3);
  draw_text(-10000, 300, "W", 0xFFFFFF, 1);
  EXPECT_GT(count(0xFFFFFF), 0);
}

TEST_F(Primitives, CentredTextStartsHalfItsWidthLeft) {
  draw_text_centered(100, 50, "OK", 0xFFFFFF, 1);
  EXPECT_TRUE(glyph_at('O', 92, 46, 0xFFFFFF));
  EXPECT_TRUE(glyph_at('K', 100, 46, 0xFFFFFF));
  clear(kBg);
  draw_text_centered(100, 50, "", 0xFFFFFF, 1);
  EXPECT_EQ(count(0xFFFFFF), 0);
}

TEST_F(Primitives, EllipsisKeepsTenCharactersAndCutsElevenToSeven) {
  char out[32];
  text_truncate_ellipsis("abcdefghij", out);
  EXPECT_STREQ(out, "abcdefghij");
  text_truncate_ellipsis("abcdefghijk", out);
  EXPECT_STREQ(out, "abcdefg...");
  text_truncate_ellipsis("", out);
  EXPECT_STREQ(out, "");
  text_truncate_ellipsis(std::string(200, 'x').c_str(), out);
  EXPECT_STREQ(out, "xxxxxxx...");
}

std::unique_ptr<DecodedImage> image(u32 w, u32 h, std::initializer_list<u32> pixels) {
  auto img = std::make_unique<DecodedImage>();
  img->key = 1;
  img->valid = 1;
  img->width = w;
  img->height = h;
  u32 i = 0;
  for (u32 p : pixels) img->pixels[i++] = p;
  return img;
}

TEST_F(Primitives, ImageScalesByRepeatingPixels) {
  auto img = image(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x00FFFFFF});
  clear(0x101010);
  draw_decoded_image(img.get(), 10, 20, 4, 4);
  EXPECT_EQ(count(0xFF0000, 10, 20, 12, 22), 4);
  EXPECT_EQ(count(0x00FF00, 12, 20, 14, 22), 4);
  EXPECT_EQ(count(0x0000FF, 10, 22, 12, 24), 4);
  EXPECT_EQ(count(0x101010, 12, 22, 14, 24), 4);  // transparent: background shows
}

TEST_F(Primitives, ImageAlphaBlendsAndClips) {
  auto img = image(1, 1, {0x80FFFFFF});
  draw_decoded_image(img.get(), -5, -5, 10, 10);
  EXPECT_EQ(count(0x808080), 25);
  draw_decoded_image(img.get(), 1020, 760, 100, 100);
  EXPECT_EQ(count(0x808080, 1020, 760, 1024, 768), 32);
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
  for (u32 y = 0; y < 20; ++y) {
    EXPECT_EQ(screen[y * 1024 + 0], 0x445566u);
    EXPECT_EQ(screen[y * 1024 + 999], 0x445566u);
    EXPECT_EQ(screen[y * 1024 + 1000], 0xDEADBEEFu);
    EXPECT_EQ(screen[y * 1024 + 1023], 0xDEADBEEFu);
  }
}

TEST_F(Primitives, PresentOfATightModeCopiesTheWholeFrame) {
  use_screen(640, 480, 640);
  fill_rect(0, 0, 640, 480, 0x010203);
  present();
  for (u32 p : screen) ASSERT_EQ(p, 0x010203u);
}

}  // namespace
}  // namespace tavlin
