// Back buffer primitives: fills, blending, outlines, text and the scaled
// image blit, checked against values worked out from the drawing rules.
#include <gtest/gtest.h>

#include <memory>
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
  const struct {
    i32 x, y, w, h;
    int on_screen;
  } cases[] = {{-10, 5, 20, 3, 30}, {5, 5, 0, 10, 0}, {5, 5, 10, -1, 0}, {1024, 0, 10, 10, 0}, {-20, -20, 20, 20, 0},
               {2147483600, 2147483600, 2147483647, 2147483647, 0},
               {-2147483647, -2147483647, 2147483647, 2147483647, 0},  // ends at -1
               {-100000, -100000, 2147483647, 2147483647, 1024 * 768}};
  for (const auto& c : cases) {
    clear(kBg);
    fill_rect(c.x, c.y, c.w, c.h, 0xFF0000);
    EXPECT_EQ(count(0xFF0000), c.on_screen) << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }
  clear(kBg);
  fill_rect(-10, 5, 20, 3, 0xFF0000);
  EXPECT_EQ(count_in(0xFF0000, 0, 5, 10, 8), 30);
  draw_rect_outline(10, 10, 5, 4, kInk);  // one pixel on the inside edge
  EXPECT_EQ(count(kInk), 5 * 2 + 2 * 2);
  EXPECT_EQ(count_in(kInk, 10, 10, 15, 14), 5 * 2 + 2 * 2);
  EXPECT_EQ(count_in(kInk, 11, 11, 14, 13), 0);
}

TEST_F(Primitives, AlphaFollowsTheFormulaPerChannelRoundingDown) {
  const u32 pairs[][2] = {{0x3C7FE1, 0xC80A55}, {0xFFFFFF, 0x000000}, {0x00FF00, 0xFF00FF}, {0x010203, 0xFEFDFC}};
  for (const auto& [colour, old] : pairs)
    for (u32 a = 0; a <= 255; ++a) {
      fill_rect(0, 0, 1, 1, old);
      fill_rect_alpha(0, 0, 1, 1, colour, a);
      u32 expect = 0;
      for (int shift : {16, 8, 0}) {
        const u32 c = colour >> shift & 0xFF, o = old >> shift & 0xFF;
        expect |= ((c * a + o * (255 - a)) / 255) << shift;
      }
      ASSERT_EQ(px(0, 0), expect) << std::hex << colour << " over " << old << " alpha " << std::dec << a;
      ASSERT_EQ(blend_colour(colour, old, a), expect) << a;
    }
}

// The whole frame text should give: each set glyph bit a scale x scale
// square, lines ten pixels (times the scale) apart, high bytes as '?', all of
// it cut at the screen's edges, nothing wrapped onto another row.
std::vector<u32> expected_text(const std::vector<std::tuple<i32, i32, std::string, i32>>& draws) {
  std::vector<u32> frame(1024 * 768, kBg);
  for (const auto& [x0, y0, text, scale] : draws) {
    i32 x = x0, y = y0;
    for (unsigned char c : text) {
      if (c == '\n') {
        x = x0;
        y += 10 * scale;
        continue;
      }
      const u8* rows = font8x8[c >= 0x80 ? '?' : c];
      for (i32 r = 0; r < 8 * scale; ++r)
        for (i32 b = 0; b < 8 * scale; ++b)
          if (rows[r / scale] >> (b / scale) & 1 && x + b >= 0 && x + b < 1024 && y + r >= 0 && y + r < 768)
            frame[static_cast<size_t>(y + r) * 1024 + x + b] = kInk;
      x += 8 * scale;
    }
  }
  return frame;
}

TEST_F(Primitives, TextDrawsEachGlyphAndCutsItAtEveryEdge) {
  const std::vector<std::vector<std::tuple<i32, i32, std::string, i32>>> cases = {
      {{100, 50, "Hi\nA", 1}}, {{10, 10, "I\nI", 2}}, {{0, 0, "\xE9", 1}},
      {{-4, -4, "WWWW", 1}, {1020, 764, "WW", 1}, {-10000, 300, "W", 1}},
      {{1016, 760, "W", 1}, {1016, 0, "W\nW", 1}, {-3, 700, "MM", 1}},  // flush with the edges
      {{1020, 300, "W", 1}, {-4, 200, "W", 1}},  // cut at one side only: nothing wraps to the next row
      {{1020, 764, "WW", 3}, {-5, 380, "WW", 3}}};
  for (size_t i = 0; i < cases.size(); ++i) {
    clear(kBg);
    for (const auto& [x, y, text, scale] : cases[i]) draw_text(x, y, text.c_str(), kInk, scale);
    const std::vector<u32> want = expected_text(cases[i]);
    size_t wrong = 0;
    for (size_t p = 0; p < want.size(); ++p) wrong += backbuf[p] != want[p];
    EXPECT_EQ(wrong, 0u) << "case " << i;
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
