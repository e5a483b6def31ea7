// The browser window on the desktop: opened once, centred and focused by the
// launcher; its scrollbar pressed and dragged through the mouse dispatcher;
// and how its toolbar, page, scrollbar and status line are painted.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "kernel/apps/apps.h"
#include "kernel/gfx/font.h"
#include "kernel/wm/launch.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

// A 400 x 400 window at (100, 50): content at (101, 80), 398 x 369; 46
// columns, 26 visible lines, a 311-pixel track.
constexpr i32 kX = 101, kY = 80, kW = 398, kH = 369;
constexpr i32 kTrackX = kX + kW - 7, kTrackTop = kY + 38;

class BrowserWindow : public DispatchTest {
 protected:
  void page_of(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "Line\n";
    std::strcpy(browser_state.text, text.c_str());
    browser_state.text_len = static_cast<u32>(text.size()) - 1;
  }
  // Every pixel the font sets for c at (x, y) has the colour.
  static bool glyph_at(i32 x, i32 y, char c, u32 colour) {
    for (i32 r = 0; r < 8; ++r)
      for (i32 b = 0; b < 8; ++b)
        if ((font8x8[static_cast<u8>(c)][r] >> b & 1) && px(x + b, y + r) != colour) return false;
    return true;
  }
};

TEST_F(BrowserWindow, OpensOnceCentredFocusedAndOnTop) {
  const auto z = next_z;
  open_app(static_cast<i32>(app::kBrowser));
  Window* w = first_of(app::kBrowser);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(frame(*w), (Ints{132, 100, 760, 520}));
  EXPECT_EQ(focused_window, win_index(*w));
  EXPECT_EQ(w->z, z);
  EXPECT_EQ(next_z, z + 1);
  EXPECT_STREQ(browser_state.status, "Ready");
}

TEST_F(BrowserWindow, ScrollbarPressGrabsTheThumbWhereItIsOrBringsItThere) {
  make_window(app::kBrowser, 100, 50, 400, 400);
  page_of(100);  // 74 hidden lines over 231 free pixels of track
  const struct {
    u32 scroll;
    i32 y;  // pressed, in the track
    u32 grabbed;
    i32 offset;
    u32 moved_up_100;
  } cases[] = {
      {74, 271, 74, 40, 41},  // on the thumb: it stays where it is
      {74, 10, 0, 10, 0},     // above it: the thumb comes to the pointer
      {0, 200, 51, 40, 19},   // below it
  };
  for (const auto& c : cases) {
    browser_state.scroll = c.scroll;
    press_pass(kTrackX, kTrackTop + c.y);
    EXPECT_EQ((std::tuple{browser_state.scroll, browser_state.dragging, browser_state.drag_offset}),
              (std::tuple{c.grabbed, 1u, c.offset}))
        << c.y;
    move_pass(kTrackX, kTrackTop + c.y);
    EXPECT_EQ(browser_state.scroll, c.grabbed) << c.y;
    move_pass(kTrackX, kTrackTop + c.y - 100);
    EXPECT_EQ(browser_state.scroll, c.moved_up_100) << c.y;
    release_pass();
  }
  page_of(20);  // everything fits: nothing to grab
  press_pass(kTrackX, kTrackTop + 5);
  EXPECT_EQ(browser_state.dragging, 0u);
}

TEST_F(BrowserWindow, PaintsToolbarPageScrollbarAndStatus) {
  Window win{};
  browser_app(&win, 0, 0, 0, 0, 0, 0, 0);
  std::strcpy(browser_state.url_bar, ("http://" + std::string(60, 'a') + "Qtail-of-the-long-address.test/x").c_str());
  page_of(100);
  browser_state.scroll = 500;  // clamped to the last page
  browser_state.error = 1;
  browser_app(&win, kX, kY, kW, kH, 1, 0, 0);
  EXPECT_EQ(browser_state.scroll, 74u);
  const struct {
    i32 x, y;
    u32 colour;
  } pixels[] = {
      {kX + 2, kY + 2, 0xDCDCDC},                 // toolbar
      {kX + 7, kY + 18, 0xEEEEEE},                // Back button's left edge
      {kX + 118, kY + 18, 0xAAAAAA},              // URL bar outline, unfocused
      {kX + 200, kY + 7, 0xFFFFFF},               // inside the bar
      {kX + 2, kY + 34, 0xDCDCDC},                // no loading bar
      {kX + kW - 12, kY + 38, 0xEEEEEE},          // track top
      {kX + kW - 7, kY + 38 + 231 + 40, 0x999999},  // thumb at the bottom
      {kX + 1, kY + kH - 1, 0xE8E8E8},            // status bar
  };
  for (const auto& p : pixels) EXPECT_EQ(px(p.x, p.y), p.colour) << p.x << "," << p.y;
  // 32 characters fit the 270-pixel bar: the tail of the address shows.
  EXPECT_TRUE(glyph_at(kX + 124, kY + 14, 'Q', 0x202020));
  EXPECT_TRUE(glyph_at(kX + 8, kY + 44, 'L', 0xCC3333));  // line 75 of the page, in red
  EXPECT_TRUE(glyph_at(kX + 6, kY + kH - 13, 'R', 0x555555));

  browser_state.url_bar_focused = 1;
  browser_state.loading = 1;
  browser_state.error = 0;
  browser_app(&win, kX, kY, kW, kH, 1, 0, 0);
  EXPECT_EQ(px(kX + 118, kY + 18), 0x0A84FFu);
  EXPECT_EQ(px(kX + 124 + 32 * 8, kY + 18), 0x0A84FFu);  // the caret after the text
  EXPECT_EQ(px(kX + kW / 2 - 1, kY + 34), 0x0A84FFu);
  EXPECT_EQ(px(kX + kW / 2, kY + 34), 0xDCDCDCu);
  EXPECT_TRUE(glyph_at(kX + 8, kY + 44, 'L', 0x202020));
}

}  // namespace
}  // namespace tavlin::test
