// Pointer scenarios on windows: dragging by the title bar, resizing from the
// grip within its limits, the three title-bar buttons and click-to-front.
#include <gtest/gtest.h>

#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

using WindowMouse = DispatchTest;

TEST_F(WindowMouse, TitleBarDragFollowsThePointerUntilRelease) {
  Window& w = make_window(app::kClock, 100, 100, 320, 260);
  press_pass(200, 110);
  move_pass(450, 300);
  EXPECT_EQ(frame(w), (Ints{350, 290, 320, 260}));
  move_pass(450, 20);  // the title bar cannot go under the top bar
  EXPECT_EQ(w.y, 28);
  release_pass();
  move_pass(600, 500);
  EXPECT_EQ(frame(w), (Ints{350, 28, 320, 260}));

  Window& big = make_window(app::kTextEdit, 100, 200, 480, 360);
  win_toggle_maximize(big);
  drag(512, 40, 520, 40);  // restored under the same grab point, halfway along
  EXPECT_EQ(big.maximized, 0u);
  EXPECT_EQ(frame(big), (Ints{520 - 240, 28, 480, 360}));
}

TEST_F(WindowMouse, GripResizesDownToTheMinimumAndUpToTheScreenAndDock) {
  Window& w = make_window(app::kAbout, 100, 100, 400, 300);
  press_pass(495, 395);  // 5 px inside the bottom-right corner
  const struct {
    i32 x, y;
    Ints frame;
  } moves[] = {{595, 445, {100, 100, 500, 350}},
               {150, 150, {100, 100, 180, 100}},
               {1023, 767, {100, 100, 924, 592}}};  // the screen's right edge, the dock's top
  for (const auto& m : moves) {
    move_pass(m.x, m.y);
    EXPECT_EQ(frame(w), m.frame) << m.x << "," << m.y;
  }
  release_pass();
  EXPECT_EQ(w.resizing, 0u);
}

TEST_F(WindowMouse, TitleBarButtonsCloseMinimiseAndMaximise) {
  Window& w = make_window(app::kAbout, 100, 100, 400, 300);
  Window& other = make_window(app::kClock, 600, 400, 200, 200);
  click(122, 121);  // 6² + 6² > 64: beside the close button, a plain title-bar press
  EXPECT_EQ(w.anim_kind, anim::kNone);
  press(156, 115);
  release_pass();  // down and up between two passes still counts
  EXPECT_EQ(frame(w), (Ints{0, 28, 1024, 664}));
  EXPECT_EQ(focused_window, win_index(w));
  click(1020, 688);  // a maximised window has no grip
  EXPECT_EQ(w.resizing, 0u);
  click(56, 43);  // the button moved with the window
  EXPECT_EQ(frame(w), (Ints{100, 100, 400, 300}));

  win_focus_and_raise(other);
  click(136, 115);  // minimising does not take the focus
  EXPECT_EQ(w.anim_kind, anim::kMinimize);
  EXPECT_EQ(focused_window, win_index(other));
  advance(22);
  pass();
  EXPECT_EQ(w.minimized, 1u);

  win_restore_and_focus(w);
  advance(22);
  click(116 + 8, 115);  // the close circle's edge still counts
  EXPECT_EQ(w.anim_kind, anim::kClose);
  EXPECT_EQ(focused_window, -1);
  for (i32 x : {136, 156, 300}) click(x, 115);  // a closing window takes no presses
  click(300, 300);
  EXPECT_EQ((Ints{i32(w.anim_kind), focused_window}), (Ints{i32(anim::kClose), -1}));
  advance(16);
  pass();
  EXPECT_EQ(w.in_use, 0u);
}

TEST_F(WindowMouse, ClickBringsTheWindowToTheFront) {
  Window& back = make_window(app::kAbout, 100, 100, 400, 300);
  Window& front = make_window(app::kClock, 300, 200, 400, 300);
  back.launched = 0;
  click(150, 300);
  EXPECT_EQ(focused_window, win_index(back));
  EXPECT_GT(back.z, front.z);
  EXPECT_EQ(back.launched, 1u);  // the dock stops bouncing its tile
  EXPECT_EQ(window_at(350, 250), &back);
  EXPECT_EQ(frame(back), (Ints{100, 100, 400, 300}));
}

}  // namespace
}  // namespace tavlin::test
