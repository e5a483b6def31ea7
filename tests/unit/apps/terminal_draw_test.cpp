// Painting a Terminal window: the green lines 14 pixels apart and the white
// prompt below them, scrolled and cut so the prompt always shows and nothing
// lands outside the content area.
#include <gtest/gtest.h>

#include <cstring>

#include "kernel/gfx/font.h"
#include "unit/apps/terminal_fixture.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::term_test {
namespace {

class TermDraw : public test::CanvasTest, public TerminalRig {
 protected:
  void SetUp() override {
    fake_hw::reset();
    fake_hw::set_default(kSerialStatus, kTransmitterEmpty);
    use_canvas(800, 600);
    open_terminal();
    term->term_line_count = 0;
  }
  void TearDown() override { close_terminal(); }

  // Draws the area at (100, 50) and compares it with the expected screen:
  // paper outside, 0x151516 inside, then each green line and the white
  // prompt row by row, glyphs straight from the font's rows.
  ::testing::AssertionResult draws(i32 w, i32 h, const Lines& green, const std::string& prompt) {
    clear(test::kPaper);
    draw_app_terminal(term, 100, 50, w, h);
    test::Picture p(800, 600, test::kPaper);
    for (i32 yy = 50; yy < 50 + h; ++yy)
      for (i32 xx = 100; xx < 100 + w; ++xx) p.set(xx, yy, 0x151516);
    auto put = [&](size_t row, const std::string& text, u32 colour) {
      for (size_t i = 0; i < text.size(); ++i)
        for (i32 r = 0; r < 8; ++r)
          for (i32 b = 0; b < 8; ++b)
            if (font8x8[static_cast<u8>(text[i]) & 0x7F][r] >> b & 1)
              p.set(108 + 8 * static_cast<i32>(i) + b, 58 + 14 * static_cast<i32>(row) + r, colour);
    };
    for (size_t i = 0; i < green.size(); ++i) put(i, green[i], 0x35E07A);
    put(green.size(), prompt, 0xFFFFFF);
    return matches(p);
  }
};

Lines rows(int first, int n) {
  Lines out;
  for (int i = first; i < first + n; ++i) out.push_back("row " + std::to_string(i));
  return out;
}

TEST_F(TermDraw, AFullBufferOrAShortAreaScrollsToKeepThePromptBelowTheLastLine) {
  for (const std::string& line : rows(0, 20)) term_println(term, line.c_str());
  term->term_line_count = 1000;  // a damaged count draws no more than the table
  EXPECT_TRUE(draws(558, 349, rows(6, 14), "> _"));
  term->term_line_count = 14;
  EXPECT_TRUE(draws(178, 69, rows(17, 3), "> _"));  // 69 pixels hold four rows
}

TEST_F(TermDraw, ANarrowAreaCutsTextAtItsRightEdgeAndOneWithoutRoomIsOnlyFilled) {
  term_println(term, std::string(48, 'W').c_str());
  std::strcpy(term->term_input, "echo abcdefghijklmnopqrstuvwxyz");
  EXPECT_TRUE(draws(178, 200, {std::string(21, 'W')}, "> echo abcdefghijklmn"));
  EXPECT_TRUE(draws(100, 15, {}, ""));
  for (auto size : {std::pair{0, 100}, std::pair{100, -5}}) {
    clear(test::kPaper);
    draw_app_terminal(term, 100, 50, size.first, size.second);
    EXPECT_EQ(count(test::kPaper), 800 * 600);
  }
}

}  // namespace
}  // namespace tavlin::term_test
