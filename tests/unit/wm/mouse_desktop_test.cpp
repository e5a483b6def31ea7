// Pointer scenarios on the desktop: icon selection, group drags, a double
// click, the rubber band, drops on folders and the trash.

#include "kernel/fs/trash.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

using DesktopMouse = DispatchTest;

Ints at(const DesktopIcon& i) { return {i.x, i.y}; }

TEST_F(DesktopMouse, CtrlAddsToTheSelectionAGrabbedGroupMovesBelowTheTopBarAndADoubleClickOpens) {
  DesktopIcon& a = make_icon(0, make_file("a.txt"), 40, 50);
  DesktopIcon& b = make_icon(1, make_file("b.txt"), 40, 170);
  DesktopIcon& c = make_icon(2, fs_create(fs_desktop_dir, "Work", kFsDir), 40, 290);
  tap(50, 180);
  key_states[scancode::kCtrl] = 1;  // adds a to the selection
  tap(50, 60);
  EXPECT_EQ((Ints{a.selected, b.selected, c.selected}), (Ints{1, 1, 0}));
  key_states[scancode::kCtrl] = 0;
  press_pass(50, 60);
  move_pass(250, 10);  // no icon goes under the top bar
  EXPECT_EQ((std::vector<Ints>{at(a), at(b), at(c)}), (std::vector<Ints>{{240, 28}, {240, 148}, {40, 290}}));
  release_pass();
  a.drag_origin_x = 900;  // left over from an earlier drag
  key_states[scancode::kCtrl] = 1;  // toggling the grabbed icon off still moves the others
  advance(100);
  press_pass(250, 38);
  move_pass(270, 68);
  EXPECT_EQ((std::vector<Ints>{at(a), at(b)}), (std::vector<Ints>{{240, 28}, {260, 178}}));
  release_pass();
  key_states[scancode::kCtrl] = 0;
  tap(50, 300);  // a double click shows the folder in the Finder
  click(50, 300);
  EXPECT_EQ(win_focused() ? win_focused()->finder_dir : -1, c.fs_idx);
}

TEST_F(DesktopMouse, RubberBandSelectsTheIconsItTouchesAndShiftAddsToThem) {
  DesktopIcon& a = make_icon(0, make_file("a.txt"), 40, 50);
  DesktopIcon& far = make_icon(2, make_file("c.txt"), 600, 400);
  far.selected = 1;
  press_pass(300, 300);
  move_pass(111, 100);  // an icon's band box reaches 72 px right of it
  EXPECT_EQ((Ints{a.selected, far.selected}), (Ints{1, 0}));
  move_pass(112, 100);
  release_pass();
  EXPECT_EQ((Ints{a.selected, desktop_rubber_active}), (Ints{0, 0}));
  far.selected = 1;
  key_shift = 1;
  drag(300, 300, 100, 100);
  EXPECT_EQ((Ints{a.selected, far.selected}), (Ints{1, 1}));
}

TEST_F(DesktopMouse, DropsMoveIntoAFolderOrDeleteTheDraggedNodesButNoProtectedFolder) {
  const i32 folder = fs_create(fs_desktop_dir, "Box", kFsDir);
  const i32 moved = make_file("m.txt");
  make_icon(0, moved, 40, 50).selected = 1;
  make_icon(2, folder, 40, 290);
  drag(50, 60, 60, 300);
  EXPECT_EQ(fs_nodes[moved].parent, folder);
  // A same-named sibling listed first (a table from before names were
  // checked) must survive: the dragged node is deleted by its index.
  const i32 twin = make_file("a.txt", "other");
  const i32 a = make_file("b.txt", "keep me");
  std::strcpy(fs_nodes[a].name, "a.txt");
  const i32 docs = fs_create(fs_root, "Documents", kFsDir);
  make_icon(0, a, 40, 50).selected = 1;
  make_icon(1, docs, 40, 170).selected = 1;
  advance(100);
  drag(50, 60, kTrashX, kTrashY);
  EXPECT_EQ((Ints{fs_is_live(a), fs_is_live(twin), fs_is_live(docs)}), (Ints{0, 1, 1}));
  ASSERT_EQ(trash_count, 1u);  // and no record of what was not deleted
  EXPECT_STREQ(trash_items[0].text, "keep me");
}

}  // namespace
}  // namespace tavlin::test
