// Presses inside application windows: the Clock's time-zone buttons, the
// image viewer's zoom bar, TextEdit's click-to-caret and mouse selection,
// and the browser's scrollbar thumb.
#include <gtest/gtest.h>

#include <string>

#include "unit/codec/codec_builders.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

using AppClicks = DispatchTest;
using BrowserThumb = DispatchTest;

TEST_F(AppClicks, ClockButtonsStepTheTimeZoneWithinTwelveHours) {
  make_window(app::kClock, 100, 100, 320, 260);  // button strip: rows 329 to 358
  const Tap taps[] = {{121, 340, -1}, {150, 358, -2}, {120, 340, -2}, {151, 340, -2},
                      {121, 359, -2}, {369, 340, -1}, {398, 329, 0},  {399, 340, 0}};
  for (const Tap& t : taps) {
    tap(t.x, t.y);
    EXPECT_EQ(timezone_offset_hours, t.after) << t.x << "," << t.y;
  }
  for (int i = 0; i < 15; ++i) tap(130, 340);
  EXPECT_EQ(timezone_offset_hours, -12);
  for (int i = 0; i < 30; ++i) tap(380, 340);
  EXPECT_EQ(timezone_offset_hours, 12);
}

TEST_F(AppClicks, ImageViewerZoomsInStepsAndFitsTheImage) {
  const std::vector<u16> pixels(200 * 100, 0xF800);
  Window& w = make_window(app::kImageViewer, 100, 100, 420, 340);
  w.image_node = make_blob_file("red.yrf", codec_test::yrf_file(200, 100, codec_test::runs_of(pixels)));
  w.zoom = 100;
  // "- " at 109 to 124, "+" at 171 to 190, "Fit" at 191 to 220, rows 130 to 151;
  // fitting takes the narrower of 418 / 200 and 287 / 100.
  const Tap taps[] = {{109, 140, 90},  {171, 151, 100}, {190, 130, 110}, {191, 140, 209},
                      {108, 140, 209}, {150, 140, 209}, {109, 152, 209}};
  for (const Tap& t : taps) {
    tap(t.x, t.y);
    EXPECT_EQ(w.zoom, t.after) << t.x << "," << t.y;
  }
  w.zoom = 15;
  tap(109, 140);
  EXPECT_EQ(w.zoom, 10);
  w.zoom = 795;
  tap(180, 140);
  EXPECT_EQ(w.zoom, 800);
  w.image_node = make_file("not-an-image.png", "plain text");
  tap(200, 140);
  EXPECT_EQ(w.zoom, 100);
}

class TextEditClicksOn : public DispatchTest {
 protected:
  // Text columns start at x = 143, lines at y = 130, 12 pixels apart.
  Window& editor(const char* text) {
    Window& w = make_window(app::kTextEdit, 100, 100, 480, 360);
    std::strcpy(w.text, text);
    w.text_len = static_cast<u32>(std::strlen(text));
    w.te_line_h = 12;
    return w;
  }
};

TEST_F(TextEditClicksOn, ThePressPutsTheCaretOnTheCharacterUnderIt) {
  Window& w = editor("hello\nworld\n\nlast");
  const Tap taps[] = {
      {143 + 3 * 8 + 2, 130 + 12 + 3, 9},  // line 1 starts at 6
      {500, 133, 5},                       // beyond the end of "hello": before its newline
      {137, 133, 0},                       // in the margin left of the text
      {143 + 80, 130 + 36 + 1, 17},        // the last line is shorter than the column
      {150, 130 + 48, 17},                 // below the last line: the caret stays
      {143 + 8, 130 + 12 + 1, 7},
      {136, 133, 7},  // the gutter is not text
  };
  for (const Tap& t : taps) {
    tap(t.x, t.y);
    EXPECT_EQ(w.te_caret, u32(t.after)) << t.x << "," << t.y;
  }
  EXPECT_EQ((Ints{w.te_sel_anchor, w.te_sel_end}), (Ints{7, 7}));
}

TEST_F(TextEditClicksOn, ScrollAndLineHeightMapRowsToLines) {
  Window& w = editor("a\nbb\nccc\ndddd");
  w.te_scroll = 2;
  tap(143 + 8, 133);
  EXPECT_EQ(w.te_caret, 5u + 1u);  // line 2 ("ccc") starts at 5
  w.te_scroll = 0;
  w.te_line_h = 40;  // taller than the editor allows: 24 is used
  tap(143 + 8, 130 + 24);
  EXPECT_EQ(w.te_caret, 3u);
}

TEST_F(TextEditClicksOn, DraggingSelectsAndAPlainClickLeavesNoSelection) {
  Window& w = editor("hello\nworld");
  press_pass(143 + 3 * 8, 145);
  EXPECT_EQ(w.te_mouse_select, 1u);
  move_pass(143 + 8, 133);
  EXPECT_EQ((Ints{w.te_sel_anchor, w.te_sel_end}), (Ints{9, 1}));
  EXPECT_EQ(w.te_sel_active, 1u);
  EXPECT_EQ(w.te_caret, 9u);
  move_pass(143 + 8, 500);  // outside the text area: the selection holds
  EXPECT_EQ(w.te_sel_end, 1);
  release_pass();
  EXPECT_EQ(w.te_mouse_select, 0u);
  EXPECT_EQ(w.te_sel_active, 1u);
  tap(143, 133);
  EXPECT_EQ(w.te_sel_active, 0u);
}

TEST_F(BrowserThumb, DraggingTheThumbScrollsThePage) {
  std::string page;
  for (int i = 0; i < 99; ++i) page += "x\n";
  page += "x";
  std::strcpy(browser_state.text, page.c_str());
  browser_state.text_len = static_cast<u32>(page.size());
  make_window(app::kBrowser, 100, 50, 400, 400);
  // 100 lines, 26 visible; a 311-pixel track with an 80-pixel thumb leaves
  // 231 pixels for 74 lines of scrolling.
  browser_state.dragging = 1;
  browser_state.drag_offset = 0;
  mouse_buttons = kMouseLeft;
  const Tap moves[] = {{200, 50 + 68 + 231, 74}, {200, 50 + 68 + 100, 32}, {200, 0, 0}};
  for (const Tap& m : moves) {
    move_pass(m.x, m.y);
    EXPECT_EQ(browser_state.scroll, u32(m.after)) << m.y;
  }
  make_window(app::kClock, 600, 500, 100, 100);  // the browser loses the focus
  move_pass(200, 400);
  EXPECT_EQ(browser_state.scroll, 0u);
  release_pass();
  EXPECT_EQ(browser_state.dragging, 0u);
}

}  // namespace
}  // namespace tavlin::test
