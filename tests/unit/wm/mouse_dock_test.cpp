// Pointer scenarios on the dock: hover, launching, hiding and restoring
// from a tile, file tiles, the trash's double click and its "Empty Bin?"
// confirmation, and the dock's precedence over windows.
#include <gtest/gtest.h>

#include "kernel/wm/launch.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

using DockMouse = DispatchTest;

constexpr i32 kClockTile = dock_slot_centre(2);

TEST_F(DockMouse, HoverRestartsTheTooltipDelayOnlyWhenTheTileChanges) {
  move_pass(kClockTile, kDockRow);
  EXPECT_EQ(dock_hover, 2);
  const u32 since = dock_hover_start_tick;
  move_pass(kClockTile + 10, kDockRow);
  EXPECT_EQ(dock_hover_start_tick, since);
  move_pass(kTrashX, kTrashY);
  EXPECT_EQ((Ints{dock_hover, dock_trash_hover}), (Ints{-1, 1}));
  EXPECT_NE(dock_hover_start_tick, since);
}

TEST_F(DockMouse, TileLaunchesHidesAndRestoresItsApplication) {
  click(kClockTile, kDockRow);
  Window* w = first_of(app::kClock);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(focused_window, win_index(*w));
  EXPECT_NE(serial_log().find("[DOCK-DBG] click idx=2 item->app=2 item->fs_idx=0 item->label=Clock\r\n"),
            std::string::npos);
  click(kClockTile, kDockRow);  // focused: the tile hides it
  EXPECT_EQ(w->anim_kind, anim::kMinimize);
  advance(22);
  pass();
  click(kClockTile, kDockRow);
  EXPECT_EQ(w->minimized, 0u);
  EXPECT_EQ(w->anim_kind, anim::kRestore);
  EXPECT_EQ(focused_window, win_index(*w));
  Window& other = make_window(app::kAbout, 150, 150, 460, 320);
  click(kClockTile, kDockRow);  // visible but behind: the tile raises it
  EXPECT_GT(w->z, other.z);
  EXPECT_EQ(windows_of(app::kClock), 1);
}

TEST_F(DockMouse, FileTileBringsBackItsWindowOrOpensTheFile) {
  open_file_in_app(make_file("notes.txt", "hello"));
  Window& w = windows[0];
  win_minimize(w);
  advance(22);
  pass();
  click(dock_slot_centre(7), kDockRow);  // its tile follows the seven pinned ones
  EXPECT_EQ(w.minimized, 0u);
  EXPECT_EQ(focused_window, 0);

  reset_desktop();
  reset_input();
  const i32 pinned = make_file("todo.txt", "x");
  dock_items[7] = DockItem{5, 0xF5C842, "todo.txt", 1, pinned, 1};
  click(dock_slot_centre(7), kDockRow);
  ASSERT_NE(first_of(app::kTextEdit), nullptr);
  EXPECT_EQ(first_of(app::kTextEdit)->doc_node, pinned);
}

TEST_F(DockMouse, DockTileAboveAWindowTakesThePress) {
  Window& low = make_window(app::kAbout, 200, 500, 600, 260);  // reaches into the dock's rows
  const i32 z = low.z;
  click(kClockTile, kDockRow);
  EXPECT_EQ(windows_of(app::kClock), 1);
  EXPECT_EQ(low.z, z);
}

TEST_F(DockMouse, TrashDoubleClickNeedsLessThanThirtyTicks) {
  // A double click forgets the first press; 30 ticks apart is a new first press.
  const u32 t0 = pit_ticks;
  const u32 steps[][2] = {{0, t0}, {29, 0}, {100, t0 + 100}, {130, t0 + 130}};
  for (const auto& s : steps) {
    pit_ticks = t0 + s[0];
    click(kTrashX, kTrashY);
    EXPECT_EQ(trash_last_click_tick, s[1]) << s[0];
  }
}

TEST_F(DockMouse, EmptyBinButtonEmptiesTheTrashAndAnyPressClosesIt) {
  // Anchored at (740, 720): the popup's corner is 90 left and 100 above.
  const i32 px = 650, py = 620;
  Window& w = make_window(app::kAbout, 500, 560, 300, 120);
  make_window(app::kClock, 100, 100, 300, 200);
  const i32 z = w.z;
  trash_count = 5;
  trash_confirm_x = 740;
  trash_confirm_y = 720;
  const struct {
    i32 x, y;
    u32 count_after;
  } presses[] = {{px + 120, py + 40, 5}, {px + 120, py + 70, 5}, {px + 11, py + 70, 5}, {px + 12, py + 62, 0}};
  for (const auto& p : presses) {
    trash_confirm_active = 1;
    click(p.x, p.y);
    EXPECT_EQ(trash_confirm_active, 0);
    EXPECT_EQ(trash_count, p.count_after) << p.x - px << "," << p.y - py;
  }
  EXPECT_EQ(w.z, z);  // the window under the popup saw none of it
}

}  // namespace
}  // namespace tavlin::test
