// Right presses: the context menu built for each kind of target, where it
// opens, which item a left press picks, and how the two press events of
// one pass are ordered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/wm/dispatch_parts.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

using ContextMenu = DispatchTest;

struct Item {
  std::string label;
  i32 action;
  bool operator==(const Item&) const = default;
};

std::vector<Item> items() {
  std::vector<Item> out;
  for (i32 i = 0; i < ctx_menu.count; ++i) out.push_back({ctx_menu.labels[i], ctx_menu.actions[i]});
  return out;
}

void open_with_right_press(i32 x, i32 y) {
  DispatchTest::right_press(x, y);
  DispatchTest::pass();
  mouse_buttons = 0;
}

TEST_F(ContextMenu, DockTileOffersPinningAndEndsThePass) {
  Window& clock = make_window(app::kClock, 100, 100, 320, 260);
  make_window(app::kAbout, 500, 100, 300, 200);
  right_press(dock_slot_centre(2), kDockRow);
  press(500, 300);  // a left press in the same pass waits for the next one
  pass();
  EXPECT_EQ(ctx_menu.active, 1);
  EXPECT_EQ((std::vector<i32>{ctx_menu.x, ctx_menu.y}), (std::vector<i32>{dock_slot_centre(2), 768 - 86}));
  EXPECT_EQ(items(), (std::vector<Item>{{"Unpin from Dock", 18}}));
  EXPECT_EQ((std::vector<i32>{ctx_menu.fs_idx, ctx_menu.app}), (std::vector<i32>{-1, 2}));
  EXPECT_EQ(focused_window, win_index(clock));
  EXPECT_EQ(pending_click_event, 1);
  pass();
  EXPECT_EQ(pending_click_event, 0);
  EXPECT_EQ(ctx_menu.active, 0);  // the waiting press closed it
}

TEST_F(ContextMenu, RunningTileWithoutAVisibleWindowFocusesNothing) {
  dock_add_dynamic_item(9, -1, "Tavlin Media Player");
  Window& player = make_window(app::kMediaPlayer, 100, 100, 320, 260);
  player.minimized = 1;
  open_with_right_press(dock_slot_centre(7), kDockRow);
  EXPECT_EQ(items(), (std::vector<Item>{{"Pin to Dock", 17}}));
  EXPECT_EQ(ctx_menu.app, 9);
  EXPECT_EQ(focused_window, -1);
}

TEST_F(ContextMenu, WindowsOfferTheirNameAndPinning) {
  make_window(app::kMediaPlayer, 100, 100, 400, 300);
  open_with_right_press(200, 200);
  EXPECT_EQ(items(), (std::vector<Item>{{"Set App Name", 19}, {"Pin to Dock", 17}}));
  EXPECT_EQ((std::vector<i32>{ctx_menu.fs_idx, ctx_menu.app}), (std::vector<i32>{-1, 9}));
  make_window(app::kTerminal, 100, 100, 400, 300);
  open_with_right_press(200, 200);
  EXPECT_EQ(items(), (std::vector<Item>{{"Set App Name", 19}, {"Unpin from Dock", 18}}));
}

TEST_F(ContextMenu, EmptySpaceInTheFinderOffersNewItemsThere) {
  Window& finder = make_window(app::kFinder, 100, 100, 520, 380);
  finder.finder_dir = fs_desktop_dir;
  open_with_right_press(400, 300);
  EXPECT_EQ(items(), (std::vector<Item>{{"New Folder", 13}, {"New File", 14}}));
  EXPECT_EQ(ctx_menu.fs_idx, fs_desktop_dir);
}

TEST_F(ContextMenu, TrashOffersOpeningAndEmptyingAboveTheDock) {
  open_with_right_press(kTrashX, kTrashY);
  EXPECT_EQ(items(), (std::vector<Item>{{"Open Trash", 15}, {"Empty Trash", 16}}));
  i32 x, top, height;
  ctx_menu_rect(&x, &top, &height);
  // Centred on the press, its bottom edge 10 px above the trash (y 697).
  EXPECT_EQ((std::vector<i32>{x, top, height}), (std::vector<i32>{660, 697 - 52 - 10, 52}));
}

TEST_F(ContextMenu, FileIconIsSelectedAloneAndOffersRenameDeleteAndPin) {
  const i32 file = make_file("a.txt");
  DesktopIcon& icon = make_icon(0, file, 40, 50);
  DesktopIcon& other = make_icon(1, make_file("b.txt"), 40, 170);
  other.selected = 1;
  open_with_right_press(50, 60);
  EXPECT_EQ((std::vector<i32>{icon.selected, other.selected}), (std::vector<i32>{1, 0}));
  EXPECT_EQ(items(), (std::vector<Item>{{"Rename", 12}, {"Delete", 10}, {"Pin to Dock", 17}}));
  EXPECT_EQ((std::vector<i32>{ctx_menu.fs_idx, ctx_menu.app}), (std::vector<i32>{file, 5}));
  dock_items[7] = DockItem{5, 0xF5C842, "a.txt", 1, file, 1};
  other.selected = 1;  // an icon already selected keeps the group
  open_with_right_press(50, 60);
  EXPECT_EQ(other.selected, 1);
  EXPECT_EQ(items().back(), (Item{"Unpin from Dock", 18}));
}

TEST_F(ContextMenu, FolderIconHasNoPinItem) {
  const i32 folder = fs_create(fs_desktop_dir, "Work", kFsDir);
  make_icon(0, folder, 40, 50);
  open_with_right_press(50, 60);
  EXPECT_EQ(items(), (std::vector<Item>{{"Rename", 12}, {"Delete", 10}}));
  EXPECT_EQ(ctx_menu.app, 0);
}

TEST_F(ContextMenu, EmptyDesktopOffersFourItemsAndOpensUpward) {
  open_with_right_press(300, 400);
  EXPECT_EQ(items(), (std::vector<Item>{{"New Folder", 13},
                                        {"New File", 14},
                                        {"Show/Hide Icons", 8},
                                        {"New Finder Window", 1}}));
  i32 x, top, height;
  ctx_menu_rect(&x, &top, &height);
  EXPECT_EQ((std::vector<i32>{x, top, height}), (std::vector<i32>{300, 400 - 92, 92}));
}

TEST_F(ContextMenu, MenuKeepsToTheScreen) {
  open_with_right_press(1000, 40);
  i32 x, top, height;
  ctx_menu_rect(&x, &top, &height);
  EXPECT_EQ((std::vector<i32>{x, top}), (std::vector<i32>{1024 - 164, 32}));
}

TEST_F(ContextMenu, ItemsAnswerInTwentyPixelRowsBelowASixPixelMargin) {
  open_with_right_press(300, 400);  // menu at x 300..459, rows from y 308
  using dispatch::ctx_menu_action_at;
  EXPECT_EQ(ctx_menu_action_at(300, 308), 13);  // the top margin counts as the first row
  EXPECT_EQ(ctx_menu_action_at(459, 333), 13);
  EXPECT_EQ(ctx_menu_action_at(300, 334), 14);
  EXPECT_EQ(ctx_menu_action_at(300, 393), 1);
  EXPECT_EQ(ctx_menu_action_at(300, 394), -1);  // the bottom margin answers nothing
  EXPECT_EQ(ctx_menu_action_at(460, 320), -1);
  EXPECT_EQ(ctx_menu_action_at(299, 320), -1);
  EXPECT_EQ(ctx_menu_action_at(300, 307), -1);
}

TEST_F(ContextMenu, AnyLeftPressClosesTheMenuWithoutReachingBeneath) {
  Window& w = make_window(app::kAbout, 250, 250, 400, 300);
  make_window(app::kClock, 700, 40, 200, 200);
  open_with_right_press(100, 500);
  ASSERT_EQ(ctx_menu.active, 1);
  click(300, 300);  // outside the menu, on the window
  EXPECT_EQ(ctx_menu.active, 0);
  EXPECT_NE(focused_window, win_index(w));
}

}  // namespace
}  // namespace tavlin::test
