// Pointer scenarios on the dock: hover, launching, hiding and restoring
// from a tile, file tiles, the trash's double click and its "Empty Bin?"
// confirmation, and the dock's precedence over windows.
#include <gtest/gtest.h>

#include "kernel/fs/trash.h"
#include "kernel/wm/launch.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

using DockMouse = DispatchTest;

constexpr i32 kClockSlot = 2;

TEST_F(DockMouse, HoverFollowsThePointerAndRestartsTheTooltipDelay) {
  move_to(dock_slot_centre(kClockSlot), kDockRow);
  pass();
  EXPECT_EQ(dock_hover, 2);
  const u32 since = dock_hover_start_tick;
  move_to(dock_slot_centre(kClockSlot) + 10, kDockRow);
  pass();
  EXPECT_EQ(dock_hover_start_tick, since);  // same tile: the delay keeps running
  move_to(dock_slot_centre(3), kDockRow);
  pass();
  EXPECT_EQ(dock_hover, 3);
  EXPECT_NE(dock_hover_start_tick, since);
  move_to(kTrashX, kTrashY);
  pass();
  EXPECT_EQ(dock_hover, -1);
  EXPECT_EQ(dock_trash_hover, 1);
  move_to(500, 300);
  pass();
  EXPECT_EQ(dock_hover_prev, -1);
  EXPECT_EQ(dock_trash_hover, 0);
}

TEST_F(DockMouse, TileLaunchesItsApplicationAndLogsThePress) {
  click(dock_slot_centre(kClockSlot), kDockRow);
  Window* w = first_of(app::kClock);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(focused_window, win_index(*w));
  EXPECT_NE(serial_log().find("[DOCK-DBG] click idx=2 item->app=2 item->fs_idx=0 item->label=Clock\r\n"),
            std::string::npos);
}

TEST_F(DockMouse, TileHidesTheFocusedWindowAndRestoresItFromTheDock) {
  click(dock_slot_centre(kClockSlot), kDockRow);
  Window* w = first_of(app::kClock);
  ASSERT_NE(w, nullptr);
  click(dock_slot_centre(kClockSlot), kDockRow);
  EXPECT_EQ(w->anim_kind, anim::kMinimize);
  advance(22);
  pass();
  EXPECT_EQ(w->minimized, 1u);
  click(dock_slot_centre(kClockSlot), kDockRow);
  EXPECT_EQ(w->minimized, 0u);
  EXPECT_EQ(w->anim_kind, anim::kRestore);
  EXPECT_EQ(focused_window, win_index(*w));
  EXPECT_EQ(windows_of(app::kClock), 1);
}

TEST_F(DockMouse, TileRaisesAVisibleWindowThatIsNotFocused) {
  Window& clock = make_window(app::kClock, 100, 100, 320, 260);
  Window& other = make_window(app::kAbout, 150, 150, 460, 320);
  click(dock_slot_centre(kClockSlot), kDockRow);
  EXPECT_EQ(focused_window, win_index(clock));
  EXPECT_GT(clock.z, other.z);
  EXPECT_EQ(clock.anim_kind, anim::kNone);
}

TEST_F(DockMouse, FileTileBringsBackItsWindowOrOpensTheFile) {
  const i32 node = make_file("notes.txt", "hello");
  open_file_in_app(node);
  Window* w = first_of(app::kTextEdit);
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(dock_items[16].fs_idx, node);
  win_minimize(*w);
  advance(22);
  pass();
  click(dock_slot_centre(7), kDockRow);  // behind the seven pinned tiles
  EXPECT_EQ(w->minimized, 0u);
  EXPECT_EQ(focused_window, win_index(*w));

  // A pinned file with no window opens in its application.
  reset_desktop();
  reset_input();
  const i32 pinned = make_file("todo.txt", "x");
  dock_items[7] = DockItem{5, 0xF5C842, "todo.txt", 1, pinned, 1};
  click(dock_slot_centre(7), kDockRow);
  Window* opened = first_of(app::kTextEdit);
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(opened->doc_node, pinned);
}

TEST_F(DockMouse, DockTileAboveAWindowTakesThePress) {
  Window& low = make_window(app::kAbout, 200, 500, 600, 260);  // reaches into the dock's rows
  const i32 z = low.z;
  click(dock_slot_centre(kClockSlot), kDockRow);
  EXPECT_EQ(windows_of(app::kClock), 1);
  EXPECT_EQ(low.z, z);
  EXPECT_EQ(low.dragging, 0u);
}

TEST_F(DockMouse, TrashDoubleClickNeedsLessThanThirtyTicks) {
  press(kTrashX, kTrashY);
  pass();
  release();
  const u32 first = trash_last_click_tick;
  EXPECT_EQ(first, pit_ticks - 1);
  pit_ticks = first + 29;
  press(kTrashX, kTrashY);
  pass();
  release();
  EXPECT_EQ(trash_last_click_tick, 0u);  // a double click: the memory starts anew

  pit_ticks = pit_ticks + 100;
  press(kTrashX, kTrashY);
  pass();
  release();
  const u32 second = trash_last_click_tick;
  pit_ticks = second + 30;
  press(kTrashX, kTrashY);
  pass();
  EXPECT_EQ(trash_last_click_tick, second + 30);  // too slow: a new first press
}

TEST_F(DockMouse, EmptyBinButtonEmptiesTheTrashAndAnyPressClosesIt) {
  // Anchored at the trash: the popup's corner is (740 - 90, 720 - 100).
  const i32 px = 650, py = 620;
  Window& w = make_window(app::kAbout, 500, 560, 300, 120);
  make_window(app::kClock, 100, 100, 300, 200);
  const i32 z = w.z;
  trash_count = 5;
  trash_confirm_active = 1;
  trash_confirm_x = 740;
  trash_confirm_y = 720;
  click(px + 120, py + 40);  // the popup's text, over the window
  EXPECT_EQ(trash_confirm_active, 0);
  EXPECT_EQ(trash_count, 5u);
  EXPECT_EQ(w.z, z);  // swallowed: the window beneath saw nothing

  trash_confirm_active = 1;
  click(px + 120, py + 70);  // "Cancel"
  EXPECT_EQ(trash_confirm_active, 0);
  EXPECT_EQ(trash_count, 5u);

  trash_confirm_active = 1;
  click(px + 11, py + 70);  // one pixel left of "Empty"
  EXPECT_EQ(trash_count, 5u);
  EXPECT_EQ(trash_confirm_active, 0);

  trash_confirm_active = 1;
  click(px + 12, py + 62);
  EXPECT_EQ(trash_count, 0u);
  EXPECT_EQ(trash_confirm_active, 0);
}

TEST_F(DockMouse, EmptyBinPopupKeepsToTheScreen) {
  trash_count = 3;
  trash_confirm_active = 1;
  trash_confirm_x = 1020;  // the popup is pushed left to x = 1024 - 184
  trash_confirm_y = 40;    // and down to y = 32
  click(840 + 12, 32 + 62);
  EXPECT_EQ(trash_count, 0u);
}

}  // namespace
}  // namespace tavlin::test
