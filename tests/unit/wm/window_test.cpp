// The window table: stacking and focus, the point hit test, maximise and
// restore, minimise, close and the eased animation progress.
#include "kernel/wm/window.h"

#include <gtest/gtest.h>

#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using Windows = WmTest;
using WindowAnimation = WmTest;

// focused_window is -1 or a slot in use, not minimised and not closing, and
// the focused window is the frontmost visible one.
void expect_focus_invariant() {
  if (focused_window == -1) return;
  ASSERT_GE(focused_window, 0);
  ASSERT_LT(focused_window, kMaxWindows);
  const Window& f = windows[focused_window];
  EXPECT_TRUE(f.in_use);
  EXPECT_FALSE(f.minimized);
  EXPECT_NE(f.anim_kind, anim::kClose);
  for (const Window& w : windows)
    if (w.in_use && !w.minimized && &w != &f) EXPECT_LT(w.z, f.z);
}

TEST_F(Windows, FocusGivesTheNextStackingValueAndNeverReusesOne) {
  Window& a = make_window(app::kClock, 100, 100, 300, 200);
  Window& b = make_window(app::kAbout, 150, 150, 300, 200);
  EXPECT_EQ(a.z, 1);
  EXPECT_EQ(b.z, 2);
  EXPECT_EQ(focused_window, win_index(b));
  win_focus_and_raise(a);
  EXPECT_EQ(a.z, 3);
  EXPECT_EQ(next_z, 4);
  EXPECT_EQ(focused_window, win_index(a));
  expect_focus_invariant();
}

TEST_F(Windows, WindowAtPicksTheFrontmostVisibleWindow) {
  Window& low = make_window(app::kClock, 100, 100, 300, 200);
  Window& high = make_window(app::kAbout, 150, 150, 300, 200);
  low.z = 5;
  high.z = 9;
  EXPECT_EQ(window_at(200, 200), &high);
  EXPECT_EQ(window_at(120, 120), &low);
  EXPECT_EQ(window_at(449, 349), &high);  // last pixel inside
  EXPECT_EQ(window_at(450, 349), nullptr);
  high.minimized = 1;
  EXPECT_EQ(window_at(200, 200), &low);
  high.minimized = 0;
  high.z = 5;  // equal values: the lower slot wins
  EXPECT_EQ(window_at(200, 200), &low);
}

TEST_F(Windows, AllocationTakesTheLowestFreeSlotAndResetsIt) {
  Window& a = make_window(app::kClock, 0, 40, 10, 10);
  make_window(app::kAbout, 0, 40, 10, 10);
  a.in_use = 0;
  std::strcpy(a.text, "left over");
  Window* again = win_alloc();
  ASSERT_EQ(again, &a);
  EXPECT_EQ(again->in_use, 0u);
  EXPECT_EQ(again->text[0], 0);
  EXPECT_EQ(again->doc_node, -1);
  EXPECT_EQ(again->image_node, -1);
  EXPECT_EQ(again->finder_dir, -1);
  EXPECT_EQ(again->finder_last_sel, -1);
  EXPECT_EQ(again->finder_click_idx, -1);
  EXPECT_EQ(again->finder_anchor, -1);
}

TEST_F(Windows, NoSlotWhenAllEightAreInUse) {
  for (int i = 0; i < kMaxWindows; ++i) make_window(app::kClock, 0, 40, 10, 10);
  EXPECT_EQ(win_alloc(), nullptr);
}

TEST_F(Windows, MaximiseFillsTheWorkAreaAndToggleRestores) {
  Window& w = make_window(app::kTextEdit, 100, 200, 480, 360);
  win_toggle_maximize(w);
  EXPECT_EQ(w.maximized, 1u);
  EXPECT_EQ((std::vector<i32>{w.x, w.y, w.w, w.h}), (std::vector<i32>{0, 28, 1024, 664}));
  EXPECT_EQ(w.anim_kind, anim::kMaximize);
  EXPECT_EQ((std::vector<i32>{w.anim_from_x, w.anim_from_y, w.anim_from_w, w.anim_from_h}),
            (std::vector<i32>{100, 200, 480, 360}));
  win_toggle_maximize(w);
  EXPECT_EQ(w.maximized, 0u);
  EXPECT_EQ((std::vector<i32>{w.x, w.y, w.w, w.h}), (std::vector<i32>{100, 200, 480, 360}));
  EXPECT_EQ(w.anim_kind, anim::kUnmaximize);
  EXPECT_EQ((std::vector<i32>{w.anim_to_x, w.anim_to_y, w.anim_to_w, w.anim_to_h}),
            (std::vector<i32>{100, 200, 480, 360}));
}

TEST_F(Windows, MinimiseShrinksIntoTheDockIconAndDropsFocus) {
  Window& w = make_window(app::kTerminal, 100, 100, 560, 380);
  win_minimize(w);
  EXPECT_EQ(focused_window, -1);
  EXPECT_EQ(w.anim_kind, anim::kMinimize);
  EXPECT_EQ(w.minimize_pending, 1u);
  // The Terminal is the fourth pinned tile: centre (216 + 3 * 70 + 40, 768 - 38).
  EXPECT_EQ((std::vector<i32>{w.anim_to_x, w.anim_to_y, w.anim_to_w, w.anim_to_h}),
            (std::vector<i32>{462, 726, 8, 8}));
  const u32 started = w.anim_start;
  advance(5);
  win_minimize(w);  // already minimising: nothing changes
  EXPECT_EQ(w.anim_start, started);
  advance(17);
  win_end_finished_animations();
  EXPECT_EQ(w.minimized, 1u);
  EXPECT_EQ(w.minimize_pending, 0u);
  EXPECT_EQ(window_at(200, 200), nullptr);
  win_minimize(w);  // already minimised
  EXPECT_EQ(w.anim_kind, anim::kNone);
}

TEST_F(Windows, RestoreGrowsOutOfTheDockIconAndFocuses) {
  Window& w = make_window(app::kTerminal, 100, 100, 560, 380);
  make_window(app::kClock, 0, 40, 10, 10);
  w.minimized = 1;
  win_restore_and_focus(w);
  EXPECT_EQ(w.minimized, 0u);
  EXPECT_EQ(w.anim_kind, anim::kRestore);
  EXPECT_EQ((std::vector<i32>{w.anim_from_x, w.anim_from_y, w.anim_from_w, w.anim_from_h}),
            (std::vector<i32>{462, 726, 8, 8}));
  EXPECT_EQ(focused_window, win_index(w));
  expect_focus_invariant();
}

TEST_F(Windows, FocusedWhileShrinkingStillEndsUnfocused) {
  Window& w = make_window(app::kTerminal, 100, 100, 560, 380);
  win_minimize(w);
  advance(3);
  win_focus_and_raise(w);  // e.g. its dock tile clicked mid-animation
  advance(30);
  win_end_finished_animations();
  EXPECT_EQ(w.minimized, 1u);
  EXPECT_EQ(focused_window, -1);
}

TEST_F(Windows, CloseAnimatesIntoTheCloseButtonThenFreesTheSlot) {
  make_window(app::kClock, 0, 40, 100, 100);
  Window& w = make_window(app::kAbout, 100, 200, 460, 320);
  close_window(&w);
  EXPECT_EQ(focused_window, -1);  // no other window takes the focus
  EXPECT_EQ(w.anim_kind, anim::kClose);
  EXPECT_EQ((std::vector<i32>{w.anim_to_x, w.anim_to_y, w.anim_to_w, w.anim_to_h}),
            (std::vector<i32>{113, 212, 6, 6}));
  const u32 started = w.anim_start;
  advance(4);
  close_window(&w);  // already closing
  EXPECT_EQ(w.anim_start, started);
  EXPECT_EQ(window_at(300, 300), &w);  // still found while closing
  advance(10);  // 14 ticks: p = 87, eased to 99
  win_end_finished_animations();
  EXPECT_EQ(w.in_use, 1u);
  advance(1);  // 15 ticks: p = 93 eases to 100, so the close is over
  win_end_finished_animations();
  EXPECT_EQ(w.in_use, 0u);
  EXPECT_EQ(window_at(300, 300), nullptr);
  close_window(nullptr);
  close_window(&w);  // a free slot
  EXPECT_EQ(w.anim_kind, anim::kNone);
}

TEST_F(Windows, CloseGivesTheStoreStateBack) {
  Window& w = make_window(app::kStore, 100, 100, 600, 420);
  vuzedezoz_idir_used[3] = 1;
  w.store = &vuzedezoz_idir[3];
  close_window(&w);
  EXPECT_EQ(vuzedezoz_idir_used[3], 0u);
  EXPECT_EQ(w.store, nullptr);
}

TEST_F(WindowAnimation, CloseProgressEasesOut) {
  Window& w = make_window(app::kAbout, 100, 100, 200, 200);
  close_window(&w);
  const struct {
    u32 ticks;
    i32 progress;
  } cases[] = {{0, 0}, {1, 12}, {8, 75}, {14, 99}, {15, 100}, {16, 100}, {400, 100}};
  for (const auto& c : cases) {
    pit_ticks = w.anim_start + c.ticks;
    EXPECT_EQ(win_anim_progress(w), c.progress) << c.ticks;
  }
}

TEST_F(WindowAnimation, MinimiseRunsTwentyTwoTicksAndNoneIsDone) {
  Window& w = make_window(app::kAbout, 100, 100, 200, 200);
  EXPECT_EQ(win_anim_progress(w), 100);
  win_minimize(w);
  pit_ticks = w.anim_start + 11;  // p = 50
  EXPECT_EQ(win_anim_progress(w), 75);
  pit_ticks = w.anim_start + 18;  // p = 81: 100 - 19 * 19 / 100
  EXPECT_EQ(win_anim_progress(w), 97);
  pit_ticks = w.anim_start + 22;
  EXPECT_EQ(win_anim_progress(w), 100);
  w.anim_kind = 77;
  EXPECT_EQ(win_anim_progress(w), 100);
}

TEST_F(WindowAnimation, ProgressSurvivesTheTickCounterWrapping) {
  pit_ticks = 0xFFFFFFFCu;
  Window& w = make_window(app::kAbout, 100, 100, 200, 200);
  close_window(&w);
  pit_ticks = 4;  // 8 ticks later, across the wrap
  EXPECT_EQ(win_anim_progress(w), 75);
}

}  // namespace
}  // namespace tavlin::test
