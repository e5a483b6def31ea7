// Pointer scenarios on the desktop: icon selection, double clicks in ticks,
// group drags, the rubber band, drops on folders and the trash, inline
// rename, the top bar's titles, and what covers what when targets overlap.
#include <gtest/gtest.h>

#include "kernel/fs/trash.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

using DesktopMouse = DispatchTest;

Ints at(const DesktopIcon& i) { return {i.x, i.y}; }

TEST_F(DesktopMouse, DoubleClickOpensWhenTheSecondPressComesWithin29Ticks) {
  DesktopIcon& icon = make_icon(0, make_file("a.txt", "text"), 40, 50);
  const u32 t0 = pit_ticks;
  click(50, 60);
  pit_ticks = t0 + 30;
  click(50, 60);
  EXPECT_EQ(windows_of(app::kTextEdit), 0);
  pit_ticks = t0 + 59;
  click(50, 60);
  ASSERT_NE(first_of(app::kTextEdit), nullptr);
  EXPECT_EQ(first_of(app::kTextEdit)->doc_node, icon.fs_idx);

  const i32 folder = fs_create(fs_desktop_dir, "Work", kFsDir);
  make_icon(1, folder, 40, 170);
  click(50, 180);
  click(50, 180);
  ASSERT_NE(first_of(app::kFinder), nullptr);
  EXPECT_EQ(first_of(app::kFinder)->finder_dir, folder);
}

TEST_F(DesktopMouse, PressOnASelectedIconDragsTheWholeGroup) {
  DesktopIcon& a = make_icon(0, make_file("a.txt"), 40, 50);
  DesktopIcon& b = make_icon(1, make_file("b.txt"), 40, 170);
  DesktopIcon& c = make_icon(2, make_file("c.txt"), 40, 290);
  a.selected = b.selected = 1;
  press_pass(50, 60);
  move_pass(250, 100);
  EXPECT_EQ(at(a), (Ints{240, 90}));
  EXPECT_EQ(at(b), (Ints{240, 210}));
  EXPECT_EQ(at(c), (Ints{40, 290}));
  move_pass(250, 10);  // no icon goes under the top bar
  EXPECT_EQ(at(a), (Ints{240, 28}));
  EXPECT_EQ(at(b), (Ints{240, 148}));
}

TEST_F(DesktopMouse, PlainPressSelectsOneAndModifiersToggle) {
  DesktopIcon& a = make_icon(0, make_file("a.txt"), 40, 50);
  DesktopIcon& b = make_icon(1, make_file("b.txt"), 40, 170);
  const struct {
    u8 ctrl, shift;
    i32 y;
    Ints selected;
  } steps[] = {{0, 0, 180, {0, 1}}, {1, 0, 60, {1, 1}}, {0, 1, 180, {1, 0}}, {0, 0, 180, {0, 1}}};
  for (const auto& s : steps) {
    key_states[scancode::kCtrl] = s.ctrl;
    key_shift = s.shift;
    tap(50, s.y);
    EXPECT_EQ((Ints{a.selected, b.selected}), s.selected);
  }
}

TEST_F(DesktopMouse, TogglingTheGrabbedIconOffStillMovesTheOthersWithThePointer) {
  DesktopIcon& a = make_icon(0, make_file("a.txt"), 40, 50);
  DesktopIcon& b = make_icon(1, make_file("b.txt"), 40, 170);
  a.drag_origin_x = 900;  // left over from an earlier drag
  a.selected = b.selected = 1;
  key_states[scancode::kCtrl] = 1;
  press_pass(50, 60);
  move_pass(70, 90);
  EXPECT_EQ(at(b), (Ints{60, 200}));
  EXPECT_EQ(at(a), (Ints{40, 50}));
}

TEST_F(DesktopMouse, RubberBandSelectsTheIconsItTouches) {
  DesktopIcon& a = make_icon(0, make_file("a.txt"), 40, 50);
  DesktopIcon& b = make_icon(1, make_file("b.txt"), 40, 290);
  DesktopIcon& far = make_icon(2, make_file("c.txt"), 600, 400);
  far.selected = 1;
  press_pass(300, 300);
  move_pass(111, 100);  // an icon's band box reaches 72 px right of it
  EXPECT_EQ((Ints{a.selected, b.selected, far.selected}), (Ints{1, 1, 0}));
  move_pass(112, 100);
  EXPECT_EQ((Ints{a.selected, b.selected}), (Ints{0, 0}));
  release_pass();
  EXPECT_EQ(desktop_rubber_active, 0);

  far.selected = 1;
  key_shift = 1;  // an additive band keeps what was selected
  drag(300, 300, 100, 100);
  EXPECT_EQ((Ints{a.selected, far.selected}), (Ints{1, 1}));
}

TEST_F(DesktopMouse, DropOnAFolderIconMovesTheSelectionIntoIt) {
  const i32 folder = fs_create(fs_desktop_dir, "Box", kFsDir);
  const i32 a = make_file("a.txt"), b = make_file("b.txt");
  make_icon(0, a, 40, 50).selected = 1;
  make_icon(1, b, 150, 50).selected = 1;
  make_icon(2, folder, 40, 290);
  drag(50, 60, 60, 300);
  EXPECT_EQ((Ints{fs_nodes[a].parent, fs_nodes[b].parent}), (Ints{folder, folder}));
}

TEST_F(DesktopMouse, DropOnTheTrashDeletesTheDraggedNodesButNoProtectedFolder) {
  // A same-named sibling listed first (a table from before names were
  // checked) must survive: the dragged node is deleted by its index.
  const i32 twin = make_file("a.txt", "other");
  const i32 a = make_file("b.txt", "keep me");
  std::strcpy(fs_nodes[a].name, "a.txt");
  const i32 docs = fs_create(fs_root, "Documents", kFsDir);
  make_icon(0, a, 40, 50).selected = 1;
  make_icon(1, docs, 40, 170).selected = 1;
  drag(50, 60, kTrashX, kTrashY);
  EXPECT_FALSE(fs_is_live(a));
  EXPECT_TRUE(fs_is_live(twin));
  EXPECT_TRUE(fs_is_live(docs));
  ASSERT_EQ(trash_count, 1u);  // and no record of what was not deleted
  EXPECT_STREQ(trash_items[0].name, "a.txt");
  EXPECT_STREQ(trash_items[0].text, "keep me");
}

TEST_F(DesktopMouse, AWindowCoversIconsAndAnIconOverTheTrashSharesThePress) {
  DesktopIcon& covered = make_icon(0, make_file("a.txt"), 300, 300);
  Window& w = make_window(app::kAbout, 250, 250, 300, 200);
  make_window(app::kClock, 700, 100, 200, 200);
  click(310, 320);
  EXPECT_EQ(covered.selected, 0);
  EXPECT_EQ(focused_window, win_index(w));

  const i32 b = make_file("b.txt");
  DesktopIcon& on_trash = make_icon(1, b, 710, 690);
  const u32 now = pit_ticks;
  click(kTrashX, kTrashY);
  EXPECT_EQ(on_trash.selected, 1);
  EXPECT_TRUE(fs_is_live(b));  // a click is no drop
  EXPECT_EQ(trash_last_click_tick, now);
}

TEST_F(DesktopMouse, APressOutsideTheIconCommitsItsRename) {
  const i32 n = make_file("old.txt");
  DesktopIcon& icon = make_icon(0, n, 40, 50);
  desktop_begin_rename(&icon);
  EXPECT_STREQ(icon.rename_buf, "old.txt");
  std::strcpy(icon.rename_buf, "new.txt");
  click(60, 140);  // the label, still inside the hit box
  EXPECT_EQ(icon.renaming, 1);
  click(400, 400);
  EXPECT_EQ(desktop_renaming_idx, -1);
  EXPECT_STREQ(fs_nodes[n].name, "new.txt");
  EXPECT_STREQ(icon.label, "new.txt");
  make_file("taken.txt");  // a name the folder already holds is refused
  desktop_begin_rename(&icon);
  std::strcpy(icon.rename_buf, "taken.txt");
  click(400, 400);
  EXPECT_STREQ(fs_nodes[n].name, "new.txt");
  EXPECT_STREQ(icon.label, "new.txt");
}

TEST_F(DesktopMouse, TopBarTitlesOpenTheirMenuAndTheNextPressClosesIt) {
  topbar_menu_x[3] = 292;  // "Window": click area 286 to 355
  topbar_menu_w[3] = 70;
  Window& w = make_window(app::kAbout, 100, 100, 400, 300);
  make_window(app::kClock, 600, 100, 300, 300);
  click(355, 27);
  EXPECT_EQ(open_menu, 3);
  click(300, 200);  // swallowed by the open menu
  EXPECT_EQ(open_menu, -1);
  EXPECT_NE(focused_window, win_index(w));
  press_pass(356, 27);  // beside the title: the desktop beneath
  EXPECT_EQ(open_menu, -1);
  EXPECT_EQ(desktop_rubber_active, 1);
}

}  // namespace
}  // namespace tavlin::test
