// Painting a Terminal window: the background, the green lines 14 pixels
// apart, the white prompt below them, and how the view scrolls and cuts so
// the prompt always shows and nothing lands outside the content area.
#include <gtest/gtest.h>

#include <cstring>

#include "kernel/gfx/font.h"
#include "unit/apps/terminal_fixture.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::term_test {
namespace {

constexpr u32 kBackground = 0x151516;
constexpr u32 kGreen = 0x35E07A;
constexpr u32 kWhite = 0xFFFFFF;

// The glyphs of a text at scale 1, straight from the font's rows.
void put_text(test::Picture& p, i32 x, i32 y, const std::string& text, u32 colour) {
  for (size_t i = 0; i < text.size(); ++i)
    for (i32 r = 0; r < 8; ++r)
      for (i32 b = 0; b < 8; ++b)
        if (font8x8[static_cast<u8>(text[i]) & 0x7F][r] >> b & 1) p.set(x + 8 * static_cast<i32>(i) + b, y + r, colour);
}

class TermDraw : public test::CanvasTest, public TerminalRig {
 protected:
  void SetUp() override {
    fake_hw::reset();
    fake_hw::set_default(kSerialStatus, kTransmitterEmpty);
    use_canvas(800, 600);
    open_terminal();
  }
  void TearDown() override { close_terminal(); }
  void fill_buffer(int lines) {
    term->term_line_count = 0;
    for (int i = 0; i < lines; ++i) term_println(term, ("row " + std::to_string(i)).c_str());
  }
  // The expected screen: paper outside, background inside, then text.
  test::Picture area(i32 x, i32 y, i32 w, i32 h) const {
    test::Picture p(800, 600, test::kPaper);
    for (i32 yy = y; yy < y + h; ++yy)
      for (i32 xx = x; xx < x + w; ++xx) p.set(xx, yy, kBackground);
    return p;
  }
};

TEST_F(TermDraw, FreshWindowShowsGreetingAndPrompt) {
  std::strcpy(term->term_input, "ls");
  term->term_input_len = 2;
  draw_app_terminal(term, 100, 50, 558, 349);
  test::Picture p = area(100, 50, 558, 349);
  put_text(p, 108, 58, "TavlinOS Terminal - Beta", kGreen);
  put_text(p, 108, 72, "Type 'help' for commands.", kGreen);
  put_text(p, 108, 100, "> ls_", kWhite);
  EXPECT_TRUE(matches(p));
}

TEST_F(TermDraw, FullBufferKeepsThePromptBelowTheLastLine) {
  fill_buffer(20);
  term->term_line_count = 1000;  // a damaged count draws no more than the table
  draw_app_terminal(term, 100, 50, 558, 349);
  test::Picture p = area(100, 50, 558, 349);
  for (int i = 0; i < 14; ++i) put_text(p, 108, 58 + 14 * i, "row " + std::to_string(i + 6), kGreen);
  put_text(p, 108, 58 + 14 * 14, "> _", kWhite);
  EXPECT_TRUE(matches(p));
}

TEST_F(TermDraw, ShortAreaScrollsTheLinesToKeepThePrompt) {
  fill_buffer(14);
  // 69 pixels hold four rows: the last three lines and the prompt.
  draw_app_terminal(term, 100, 50, 178, 69);
  test::Picture p = area(100, 50, 178, 69);
  for (int i = 0; i < 3; ++i) put_text(p, 108, 58 + 14 * i, "row " + std::to_string(11 + i), kGreen);
  put_text(p, 108, 58 + 14 * 3, "> _", kWhite);
  EXPECT_TRUE(matches(p));
}

TEST_F(TermDraw, NarrowAreaCutsTextAtItsRightEdge) {
  term->term_line_count = 0;
  term_println(term, std::string(48, 'W').c_str());
  std::strcpy(term->term_input, "echo abcdefghijklmnopqrstuvwxyz");
  draw_app_terminal(term, 100, 50, 178, 200);
  test::Picture p = area(100, 50, 178, 200);
  put_text(p, 108, 58, std::string(21, 'W'), kGreen);
  put_text(p, 108, 72, std::string("> echo abcdefghijklmnopqrstuvwxyz").substr(0, 21), kWhite);
  EXPECT_TRUE(matches(p));
}

TEST_F(TermDraw, AreasWithoutRoomForARowAreOnlyFilled) {
  for (auto size : {std::pair{0, 100}, std::pair{100, 0}, std::pair{-5, 100}, std::pair{100, -5}}) {
    draw_app_terminal(term, 100, 50, size.first, size.second);
    EXPECT_EQ(count(test::kPaper), 800 * 600);
  }
  draw_app_terminal(term, 10, 10, 100, 15);
  EXPECT_TRUE(matches(area(10, 10, 100, 15)));
}

}  // namespace
}  // namespace tavlin::term_test
