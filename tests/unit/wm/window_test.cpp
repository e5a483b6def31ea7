// The window table: stacking and focus, the point hit test, maximise and
// restore, minimise, close and the eased animation progress.
#include "kernel/wm/window.h"

#include <gtest/gtest.h>

#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using Windows = WmTest;

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
  EXPECT_EQ((Ints{a.z, b.z, focused_window}), (Ints{1, 2, win_index(b)}));
  win_focus_and_raise(a);
  EXPECT_EQ((Ints{a.z, next_z, focused_window}), (Ints{3, 4, win_index(a)}));
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

TEST_F(Windows, AllocationTakesTheLowestFreeSlotResetsItAndFailsWhenFull) {
  Window& a = make_window(app::kClock, 0, 40, 10, 10);
  make_window(app::kAbout, 0, 40, 10, 10);
  a.in_use = 0;
  std::strcpy(a.text, "left over");
  Window* again = win_alloc();
  ASSERT_EQ(again, &a);
  EXPECT_EQ(again->in_use, 0u);
  EXPECT_EQ(again->text[0], 0);
  EXPECT_EQ((Ints{again->doc_node, again->image_node, again->finder_dir, again->finder_last_sel,
                  again->finder_click_idx, again->finder_anchor}),
            Ints(6, -1));
  for (int i = 1; i < kMaxWindows; ++i) make_window(app::kClock, 0, 40, 10, 10);
  EXPECT_EQ(win_alloc(), nullptr);
}

TEST_F(Windows, MaximiseFillsTheWorkAreaAndToggleRestores) {
  Window& w = make_window(app::kTextEdit, 100, 200, 480, 360);
  win_toggle_maximize(w);
  EXPECT_EQ(w.maximized, 1u);
  EXPECT_EQ(frame(w), (Ints{0, 28, 1024, 664}));
  EXPECT_EQ(w.anim_kind, anim::kMaximize);
  EXPECT_EQ(anim_from(w), (Ints{100, 200, 480, 360}));
  win_toggle_maximize(w);
  EXPECT_EQ(w.maximized, 0u);
  EXPECT_EQ(frame(w), (Ints{100, 200, 480, 360}));
  EXPECT_EQ(w.anim_kind, anim::kUnmaximize);
  EXPECT_EQ(anim_to(w), (Ints{100, 200, 480, 360}));
}

TEST_F(Windows, MinimiseShrinksIntoTheDockIconAndRestoreGrowsBack) {
  Window& w = make_window(app::kTerminal, 100, 100, 560, 380);
  win_minimize(w);
  EXPECT_EQ(focused_window, -1);
  EXPECT_EQ(w.anim_kind, anim::kMinimize);
  EXPECT_EQ(w.minimize_pending, 1u);
  // The Terminal is the fourth pinned tile: centre (216 + 3 * 70 + 40, 768 - 38).
  EXPECT_EQ(anim_to(w), (Ints{462, 726, 8, 8}));
  const u32 started = w.anim_start;
  advance(5);
  win_minimize(w);  // already minimising: nothing changes
  EXPECT_EQ(w.anim_start, started);
  advance(17);
  win_end_finished_animations();
  EXPECT_EQ((Ints{i32(w.minimized), i32(w.minimize_pending)}), (Ints{1, 0}));
  EXPECT_EQ(window_at(200, 200), nullptr);
  win_minimize(w);  // already minimised
  EXPECT_EQ(w.anim_kind, anim::kNone);

  make_window(app::kClock, 0, 40, 10, 10);
  win_restore_and_focus(w);
  EXPECT_EQ(w.minimized, 0u);
  EXPECT_EQ(w.anim_kind, anim::kRestore);
  EXPECT_EQ(anim_from(w), (Ints{462, 726, 8, 8}));
  EXPECT_EQ(focused_window, win_index(w));
  expect_focus_invariant();

  advance(22);
  win_minimize(w);
  advance(3);
  win_focus_and_raise(w);  // e.g. its dock tile clicked mid-animation: it still ends hidden
  advance(30);
  win_end_finished_animations();
  EXPECT_EQ(w.minimized, 1u);
  EXPECT_EQ(focused_window, -1);
}

TEST_F(Windows, CloseReleasesTheStoreStateAnimatesIntoTheCloseButtonThenFreesTheSlot) {
  make_window(app::kClock, 0, 40, 100, 100);
  Window& w = make_window(app::kStore, 100, 200, 460, 320);
  vuzedezoz_idir_used[3] = 1;
  w.store = &vuzedezoz_idir[3];
  close_window(&w);
  EXPECT_EQ(vuzedezoz_idir_used[3], 0u);
  EXPECT_EQ(w.store, nullptr);
  EXPECT_EQ(focused_window, -1);  // no other window takes the focus
  EXPECT_EQ(w.anim_kind, anim::kClose);
  EXPECT_EQ(anim_to(w), (Ints{113, 212, 6, 6}));
  const u32 started = w.anim_start;
  advance(4);
  close_window(&w);  // already closing
  EXPECT_EQ(w.anim_start, started);
  EXPECT_EQ(window_at(300, 300), &w);  // still found while closing
  advance(10);                         // 14 ticks: p = 87, eased to 99
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

TEST_F(Windows, AnimationProgressEasesOutOverTheKindsDuration) {
  Window& w = make_window(app::kAbout, 100, 100, 200, 200);
  EXPECT_EQ(win_anim_progress(w), 100);  // no animation
  const struct {
    u32 kind, ticks;
    i32 progress;
  } cases[] = {{anim::kClose, 0, 0},      {anim::kClose, 1, 12},     {anim::kClose, 14, 99},
               {anim::kClose, 15, 100},   {anim::kClose, 400, 100},  {anim::kMinimize, 11, 75},
               {anim::kMinimize, 22, 100}, {77, 0, 100}};
  for (const auto& c : cases) {
    w.anim_kind = c.kind;
    pit_ticks = w.anim_start + c.ticks;
    EXPECT_EQ(win_anim_progress(w), c.progress) << c.kind << " after " << c.ticks;
  }
  // Across the tick counter's wrap: 8 ticks after 0xFFFFFFFC.
  w.anim_kind = anim::kClose;
  w.anim_start = 0xFFFFFFFCu;
  pit_ticks = 4;
  EXPECT_EQ(win_anim_progress(w), 75);
}

}  // namespace
}  // namespace tavlin::test
