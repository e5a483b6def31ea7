// Pointer scenarios on windows: dragging by the title bar, resizing from the
// grip within its limits, the three title-bar buttons and click-to-front.
#include <gtest/gtest.h>

#include <vector>

#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

using WindowMouse = DispatchTest;

std::vector<i32> frame(const Window& w) { return {w.x, w.y, w.w, w.h}; }

TEST_F(WindowMouse, TitleBarDragFollowsThePointerAndEndsOnRelease) {
  Window& w = make_window(app::kClock, 100, 100, 320, 260);
  press(200, 110);
  pass();
  EXPECT_EQ(w.dragging, 1u);
  move_to(450, 300);
  pass();
  EXPECT_EQ(frame(w), (std::vector<i32>{350, 290, 320, 260}));
  move_to(450, 20);  // the title bar cannot go under the top bar
  pass();
  EXPECT_EQ(w.y, 28);
  release();
  pass();
  EXPECT_EQ(w.dragging, 0u);
  move_to(600, 500);
  pass();
  EXPECT_EQ(frame(w), (std::vector<i32>{350, 28, 320, 260}));
}

TEST_F(WindowMouse, GripResizesDownToTheMinimumAndUpToTheScreenAndDock) {
  Window& w = make_window(app::kAbout, 100, 100, 400, 300);
  press(495, 395);  // 5 px inside the bottom-right corner
  pass();
  EXPECT_EQ(w.resizing, 1u);
  EXPECT_EQ((std::vector<i32>{w.resize_x0, w.resize_y0, w.resize_w0, w.resize_h0}), frame(w));
  move_to(595, 445);
  pass();
  EXPECT_EQ(frame(w), (std::vector<i32>{100, 100, 500, 350}));
  move_to(150, 150);
  pass();
  EXPECT_EQ(frame(w), (std::vector<i32>{100, 100, 180, 100}));
  move_to(1023, 767);
  pass();
  // Right edge at the screen's, bottom at the dock's band (768 - 76).
  EXPECT_EQ(frame(w), (std::vector<i32>{100, 100, 924, 592}));
  release();
  pass();
  EXPECT_EQ(w.resizing, 0u);
}

TEST_F(WindowMouse, MaximisedWindowHasNoGrip) {
  Window& w = make_window(app::kAbout, 100, 100, 400, 300);
  win_toggle_maximize(w);
  press(1020, 688);
  pass();
  EXPECT_EQ(w.resizing, 0u);
  EXPECT_EQ(focused_window, win_index(w));
}

TEST_F(WindowMouse, CloseButtonClosesTheWindow) {
  Window& w = make_window(app::kAbout, 100, 100, 400, 300);
  make_window(app::kClock, 600, 400, 200, 200);
  click(116 + 8, 115);  // the circle's edge still counts
  EXPECT_EQ(w.anim_kind, anim::kClose);
  EXPECT_EQ(w.close_pending, 1u);
  EXPECT_EQ(focused_window, -1);
  advance(16);
  pass();
  EXPECT_EQ(w.in_use, 0u);
}

TEST_F(WindowMouse, MinimiseButtonLeavesFocusElsewhereAndRestoreBringsItBack) {
  Window& w = make_window(app::kAbout, 100, 100, 400, 300);
  Window& other = make_window(app::kClock, 600, 400, 200, 200);
  click(136, 115);
  EXPECT_EQ(w.anim_kind, anim::kMinimize);
  EXPECT_EQ(focused_window, win_index(other));
  advance(22);
  pass();
  EXPECT_EQ(w.minimized, 1u);
  EXPECT_EQ(window_at(200, 200), nullptr);
}

TEST_F(WindowMouse, MaximiseButtonFillsTheWorkAreaAndFocuses) {
  Window& w = make_window(app::kAbout, 100, 100, 400, 300);
  make_window(app::kClock, 600, 400, 200, 200);
  click(156, 115);
  EXPECT_EQ(w.maximized, 1u);
  EXPECT_EQ(frame(w), (std::vector<i32>{0, 28, 1024, 664}));
  EXPECT_EQ(focused_window, win_index(w));
  click(56, 43);  // the button has moved with the window: toggle back
  EXPECT_EQ(w.maximized, 0u);
  EXPECT_EQ(frame(w), (std::vector<i32>{100, 100, 400, 300}));
}

TEST_F(WindowMouse, BetweenTheButtonsTheTitleBarDrags) {
  Window& w = make_window(app::kAbout, 100, 100, 400, 300);
  click(116 + 6, 115 + 6);  // 6² + 6² > 64: outside the close circle
  EXPECT_EQ(w.anim_kind, anim::kNone);
  EXPECT_EQ(w.in_use, 1u);
}

TEST_F(WindowMouse, ClickBringsTheWindowToTheFront) {
  Window& back = make_window(app::kAbout, 100, 100, 400, 300);
  Window& front = make_window(app::kClock, 300, 200, 400, 300);
  EXPECT_EQ(window_at(350, 250), &front);
  back.launched = 0;
  click(150, 300);  // content of the back window, clear of the front one
  EXPECT_EQ(focused_window, win_index(back));
  EXPECT_GT(back.z, front.z);
  EXPECT_EQ(back.launched, 1u);  // the dock stops bouncing its tile
  EXPECT_EQ(window_at(350, 250), &back);
  EXPECT_EQ(frame(back), (std::vector<i32>{100, 100, 400, 300}));
}

TEST_F(WindowMouse, DraggingAMaximisedWindowRestoresItUnderTheSameGrabPoint) {
  Window& w = make_window(app::kTextEdit, 100, 200, 480, 360);
  win_toggle_maximize(w);
  press(512, 40);  // halfway along the title bar
  pass();
  move_to(520, 40);
  pass();
  EXPECT_EQ(w.maximized, 0u);
  // The grab point stays halfway along the restored 480-pixel title bar.
  EXPECT_EQ(frame(w), (std::vector<i32>{520 - 240, 28, 480, 360}));
  release();
  pass();
}

TEST_F(WindowMouse, PressAndReleaseBetweenTwoPassesStillActs) {
  Window& w = make_window(app::kAbout, 100, 100, 400, 300);
  make_window(app::kClock, 600, 400, 200, 200);
  press(156, 115);
  release();
  pass();
  EXPECT_EQ(w.maximized, 1u);
  EXPECT_EQ(pending_click_event, 0);
}

}  // namespace
}  // namespace tavlin::test
