// The dock: the dynamic records, the slots left after an unpin; presses on its tiles and the trash's
// "Empty Bin?" popup; right presses: each target's context menu.

#include "kernel/wm/dock.h"

#include "kernel/fs/trash.h"
#include "kernel/wm/launch.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

using DockMouse = DispatchTest;

constexpr i32 kClockTile = dock_slot_centre(2);

// The context menu a right press at (x, y) opens, as "label=action" items.
std::vector<std::string> menu_after_right_press(i32 x, i32 y) {
  DispatchTest::right_press(x, y);
  DispatchTest::pass();
  DispatchTest::release();
  std::vector<std::string> out;
  for (i32 i = 0; i < ctx_menu.count; ++i)
    out.push_back(ctx_menu.labels[i] + ("=" + std::to_string(ctx_menu.actions[i])));
  return out;
}

using Menu = std::vector<std::string>;

TEST_F(DockMouse, TileLaunchesHidesRestoresAndRaisesItsApplicationAboveAnyWindowAndBringsBackOrOpensAFile) {
  Window& low = make_window(app::kAbout, 200, 500, 600, 260);  // reaches into the dock's rows
  click(kClockTile, kDockRow);
  Window* w = first_of(app::kClock);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(focused_window, win_index(*w));
  click(kClockTile, kDockRow);  // focused: the tile hides it
  EXPECT_EQ(w->anim_kind, anim::kMinimize);
  advance(22);
  pass();
  click(kClockTile, kDockRow);
  EXPECT_EQ((Ints{i32(w->minimized), i32(w->anim_kind), focused_window}), (Ints{0, anim::kRestore, win_index(*w)}));
  win_focus_and_raise(low);
  click(kClockTile, kDockRow);  // visible but behind: the tile raises it
  EXPECT_GT(w->z, low.z);
  EXPECT_EQ(windows_of(app::kClock), 1);
  open_file_in_app(make_file("notes.txt", "hello"));
  Window& doc = *win_focused();
  win_minimize(doc);
  advance(22);
  pass();
  click(dock_slot_centre(7), kDockRow);  // its tile follows the seven pinned ones
  EXPECT_EQ((Ints{i32(doc.minimized), focused_window}), (Ints{0, win_index(doc)}));
  const i32 pinned = make_file("todo.txt", "x");
  dock_items[8] = DockItem{5, 0xF5C842, "todo.txt", 1, pinned, 1};
  tap(dock_slot_x(dock_layout(), 7) + 20, kDockRow);  // the pinned file now comes first
  EXPECT_EQ(win_focused()->doc_node, pinned);
}

TEST_F(DockMouse, RightPressOnATileRaisesItsWindowAndALeftPressInThePassWaits) {
  Window& clock = make_window(app::kClock, 100, 100, 320, 260);
  make_window(app::kAbout, 500, 100, 300, 200);
  right_press(kClockTile, kDockRow);
  press_pass(500, 300);
  EXPECT_EQ((Ints{ctx_menu.active, ctx_menu.x, ctx_menu.y, ctx_menu.app}), (Ints{1, kClockTile, 768 - 86, 2}));
  EXPECT_EQ(focused_window, win_index(clock));
  EXPECT_GT(clock.z, windows[1].z);  // raised, so its keys never go to a hidden window
  pass();
  EXPECT_EQ((Ints{ctx_menu.active, focused_window}), (Ints{0, win_index(clock)}));  // the waiting press closed it
  EXPECT_EQ(menu_after_right_press(kClockTile, kDockRow), Menu{"Unpin from Dock=18"});
  dock_add_dynamic_item(9, -1, "Tavlin Media Player");
  make_window(app::kMediaPlayer, 100, 100, 320, 260).minimized = 1;
  EXPECT_EQ(menu_after_right_press(dock_slot_centre(7), kDockRow), Menu{"Pin to Dock=17"});
  EXPECT_EQ(focused_window, -1);  // a running tile without a visible window: nothing keeps the focus
}

TEST_F(DockMouse, TrashDoubleClickAndTheEmptyBinPopupAnchoredAtItsMenu) {
  const u32 t0 = pit_ticks;
  const u32 steps[][2] = {{0, t0}, {29, 0}, {100, t0 + 100}, {130, t0 + 130}};  // a double click forgets the first
  for (const auto& s : steps) {
    pit_ticks = t0 + s[0];
    click(kTrashX, kTrashY);
    EXPECT_EQ(trash_last_click_tick, s[1]) << s[0];
  }
  Window& w = make_window(app::kAbout, 500, 560, 300, 120);
  make_window(app::kClock, 100, 100, 300, 200);
  const i32 z = w.z;
  for (int i = 0; i < 3; ++i) trash_add_item("old.txt", 0, "x", 1, 0, -1);
  // Its menu sits 10 px above the trash, centred on the press; the popup's
  // corner is (650, 620), its "Empty" button x 662..731, y 682..701.
  const Tap presses[] = {{770, 660, 3}, {770, 690, 3}, {661, 690, 3}, {662, 682, 0}};  // x, y, records after
  for (const Tap& p : presses) {
    EXPECT_EQ(menu_after_right_press(kTrashX, kTrashY), (Menu{"Open Trash=15", "Empty Trash=16"}));
    i32 x, top, height;
    ctx_menu_rect(&x, &top, &height);
    EXPECT_EQ((Ints{x, top, height}), (Ints{660, 697 - 52 - 10, 52}));
    click(700, 670);  // "Empty Trash" asks first
    ASSERT_EQ(trash_confirm_active, 1);
    click(p.x, p.y);
    EXPECT_EQ((Ints{trash_confirm_active, i32(trash_count)}), (Ints{0, p.after})) << p.x << "," << p.y;
  }
  EXPECT_EQ(w.z, z);  // the window under the popup saw none of it
}

TEST_F(DockMouse, WindowsIconsAndTheDesktopOfferTheirItems) {
  make_window(app::kMediaPlayer, 100, 100, 400, 300);
  EXPECT_EQ(menu_after_right_press(200, 200), (Menu{"Set App Name=19", "Pin to Dock=17"}));
  make_window(app::kTerminal, 100, 100, 400, 300);
  EXPECT_EQ(menu_after_right_press(200, 200), (Menu{"Set App Name=19", "Unpin from Dock=18"}));
  make_window(app::kFinder, 100, 100, 520, 380).finder_dir = fs_desktop_dir;
  EXPECT_EQ(menu_after_right_press(400, 300), (Menu{"New Folder=13", "New File=14"}));
  EXPECT_EQ(ctx_menu.fs_idx, fs_desktop_dir);
  windows_init();
  EXPECT_EQ(menu_after_right_press(300, 400),
            (Menu{"New Folder=13", "New File=14", "Show/Hide Icons=8", "New Finder Window=1"}));  // the empty desktop
  const i32 file = make_file("a.txt");
  DesktopIcon& icon = make_icon(0, file, 40, 50);
  DesktopIcon& other = make_icon(1, make_file("b.txt"), 40, 170);
  other.selected = 1;
  EXPECT_EQ(menu_after_right_press(50, 60), (Menu{"Rename=12", "Delete=10", "Pin to Dock=17"}));
  EXPECT_EQ((Ints{icon.selected, other.selected, ctx_menu.fs_idx, ctx_menu.app}), (Ints{1, 0, file, 5}));
  dock_items[7] = DockItem{5, 0xF5C842, "a.txt", 1, file, 1};
  other.selected = 1;  // an icon already selected keeps the group
  EXPECT_EQ(menu_after_right_press(50, 60).back(), "Unpin from Dock=18");
  EXPECT_EQ(other.selected, 1);
  make_icon(2, fs_create(fs_desktop_dir, "Work", kFsDir), 40, 290);
  EXPECT_EQ(menu_after_right_press(50, 300), (Menu{"Rename=12", "Delete=10"}));
}

using Dock = WmTest;

constexpr i32 H = 768;

TEST_F(Dock, DynamicRecordsAppendOnceCloseTheirGapAndStopAtSixteenAndAnUnpinnedRecordTakesNoSlot) {
  dock_add_dynamic_item(9, -1, "a");
  dock_add_dynamic_item(9, -1, "again");   // already there
  dock_add_dynamic_item(4, -1, "Finder");  // pinned already
  dock_add_dynamic_item(6, 5, "a very long name for a dock label");
  dock_add_dynamic_item(7, -1, nullptr);
  EXPECT_EQ(dock_dynamic_count, 3);
  EXPECT_EQ(dock_hit_test(dock_slot_x(dock_layout(), 7) + 5, H - 38), 16);
  EXPECT_STREQ(dock_items[17].label, "a very long name for a ");  // 23 characters
  EXPECT_STREQ(dock_items[18].label, "App");
  dock_remove_dynamic_item(6, 5);
  dock_remove_dynamic_item(4, -1);  // pinned records are not touched here
  EXPECT_EQ((Ints{dock_dynamic_count, dock_items[17].app, dock_items[18].app, dock_items[0].app}), (Ints{2, 7, 0, 4}));
  for (i32 i = 0; i < 16; ++i) dock_add_dynamic_item(6, 20 + i, "img");
  EXPECT_EQ(dock_dynamic_count, 16);
  EXPECT_EQ(dock_hit_test(dock_slot_x(dock_layout(), 22) + 5, H - 38), 31);  // all 23 tiles answer
  dock_items[7] = {5, 0xF5C842, "notes.txt", 1, 9, 1};  // a pinned file stays
  dock_reset_dynamic();
  EXPECT_EQ((Ints{dock_dynamic_count, dock_items[16].app, dock_items[7].app}), (Ints{0, 0, 5}));
  dock_items[7].pinned = dock_items[2].pinned = 0;  // Clock no longer shown
  const DockLayout l = dock_layout();
  EXPECT_EQ((Ints{l.slots, l.left, dock_hit_test(dock_slot_x(l, 2) + 10, H - 38)}), (Ints{6, 251, 3}));
  i32 x, y;
  dock_icon_center_for_app(2, &x, &y);  // no visible Clock record: the dock's middle
  EXPECT_EQ((Ints{x, y}), (Ints{512, H - 38}));
}

}  // namespace
}  // namespace tavlin::test
