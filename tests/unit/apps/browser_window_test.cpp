// The browser window on the desktop: its scrollbar pressed and dragged
// through the mouse dispatcher, and the address bar and scroll it paints.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "kernel/apps/apps.h"
#include "unit/apps/app_screen.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

// A 400 x 400 window at (100, 50): content at (101, 80), 398 x 369, with 26
// lines showing and a 311-pixel track whose top is at y = 118.
constexpr i32 kX = 101, kY = 80, kW = 398, kH = 369, kTrackTop = kY + 38;

class BrowserWindow : public DispatchTest {
 protected:
  static void page_of(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "Line\n";
    browser_state.text_len = static_cast<u32>(text.size()) - 1;
    std::strcpy(browser_state.text, text.c_str());
  }
};

TEST_F(BrowserWindow, ScrollbarPressGrabsTheThumbWhereItIsOrBringsItThere) {
  make_window(app::kBrowser, 100, 50, 400, 400);
  page_of(100);  // 74 hidden lines over 231 free pixels of track
  const struct {
    u32 scroll;
    i32 y;  // pressed, in the track
    u32 grabbed;
    u32 moved_up_100;
  } cases[] = {{74, 271, 74, 41}, {74, 10, 0, 0}, {0, 200, 51, 19}};  // on, above and below the thumb
  for (const auto& c : cases) {
    browser_state.scroll = c.scroll;
    press_pass(kX + kW - 7, kTrackTop + c.y);
    move_pass(kX + kW - 7, kTrackTop + c.y);
    EXPECT_EQ((std::pair{browser_state.scroll, browser_state.dragging}), (std::pair{c.grabbed, 1u})) << c.y;
    move_pass(kX + kW - 7, kTrackTop + c.y - 100);
    EXPECT_EQ(browser_state.scroll, c.moved_up_100) << c.y;
    release_pass();
  }
  page_of(20);  // everything fits: nothing to grab
  press_pass(kX + kW - 7, kTrackTop + 5);
  EXPECT_EQ(browser_state.dragging, 0u);
}

TEST_F(BrowserWindow, TheAddressBarShowsTheTailOfALongAddressAndTheScrollStopsAtTheLastPage) {
  Window win{};
  browser_app(&win, 0, 0, 0, 0, 0, 0, 0);
  // 32 characters fit the 270-pixel bar: only the tail shows.
  std::strcpy(browser_state.url_bar, ("http://" + std::string(60, 'a') + "Qtail-of-the-long-address.test/x").c_str());
  page_of(100);
  browser_state.scroll = 500;
  browser_app(&win, kX, kY, kW, kH, 1, 0, 0);
  EXPECT_TRUE(text_drawn_at(kX + 124, kY + 14, "Qtail", 0x202020));
  EXPECT_EQ(browser_state.scroll, 74u);
}

}  // namespace
}  // namespace tavlin::test
