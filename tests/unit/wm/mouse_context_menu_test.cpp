// Right presses: the context menu built for each kind of target, where it
// opens, which item a left press picks, and how the two press events of
// one pass are ordered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/fs/trash.h"
#include "kernel/gfx/gfx.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/render.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

struct Item {
  std::string label;
  i32 action;
  bool operator==(const Item&) const = default;
};
using Items = std::vector<Item>;

class ContextMenu : public DispatchTest {
 protected:
  static Items items_after_right_press(i32 x, i32 y) {
    right_press(x, y);
    pass();
    release();
    Items out;
    for (i32 i = 0; i < ctx_menu.count; ++i) out.push_back({ctx_menu.labels[i], ctx_menu.actions[i]});
    return out;
  }

  static Ints rect() {
    i32 x, top, height;
    ctx_menu_rect(&x, &top, &height);
    return {x, top, height};
  }
};

TEST_F(ContextMenu, DockTileOffersPinningFocusesItsWindowAndEndsThePass) {
  Window& clock = make_window(app::kClock, 100, 100, 320, 260);
  make_window(app::kAbout, 500, 100, 300, 200);
  right_press(dock_slot_centre(2), kDockRow);
  press_pass(500, 300);  // a left press in the same pass waits for the next one
  EXPECT_EQ((Ints{ctx_menu.active, ctx_menu.x, ctx_menu.y, ctx_menu.fs_idx, ctx_menu.app}),
            (Ints{1, dock_slot_centre(2), 768 - 86, -1, 2}));
  EXPECT_EQ(focused_window, win_index(clock));
  EXPECT_GT(clock.z, windows[1].z);  // raised, so its keys never go to a hidden window
  EXPECT_EQ(pending_click_event, 1);
  pass();
  EXPECT_EQ(ctx_menu.active, 0);  // the waiting press closed it
  EXPECT_EQ(items_after_right_press(dock_slot_centre(2), kDockRow), (Items{{"Unpin from Dock", 18}}));

  // A running tile without a visible window: nothing keeps the focus.
  dock_add_dynamic_item(9, -1, "Tavlin Media Player");
  make_window(app::kMediaPlayer, 100, 100, 320, 260).minimized = 1;
  EXPECT_EQ(items_after_right_press(dock_slot_centre(7), kDockRow), (Items{{"Pin to Dock", 17}}));
  EXPECT_EQ(focused_window, -1);
}

TEST_F(ContextMenu, WindowsOfferTheirNameAndPinning) {
  make_window(app::kMediaPlayer, 100, 100, 400, 300);
  EXPECT_EQ(items_after_right_press(200, 200), (Items{{"Set App Name", 19}, {"Pin to Dock", 17}}));
  EXPECT_EQ((Ints{ctx_menu.fs_idx, ctx_menu.app}), (Ints{-1, 9}));
  make_window(app::kTerminal, 100, 100, 400, 300);
  EXPECT_EQ(items_after_right_press(200, 200), (Items{{"Set App Name", 19}, {"Unpin from Dock", 18}}));
  Window& finder = make_window(app::kFinder, 100, 100, 520, 380);
  finder.finder_dir = fs_desktop_dir;
  EXPECT_EQ(items_after_right_press(400, 300), (Items{{"New Folder", 13}, {"New File", 14}}));
  EXPECT_EQ(ctx_menu.fs_idx, fs_desktop_dir);
}

TEST_F(ContextMenu, EmptyTrashAsksFirstAndItsButtonEmptiesTheTrash) {
  for (int i = 0; i < 3; ++i) trash_add_item("old.txt", 0, "x", 1, 0, -1);
  ASSERT_EQ(trash_count, 3u);
  EXPECT_EQ(items_after_right_press(kTrashX, kTrashY), (Items{{"Open Trash", 15}, {"Empty Trash", 16}}));
  // Centred on the press, its bottom edge 10 px above the trash (y 697);
  // "Empty Trash" is the second row, y 661 to 680.
  EXPECT_EQ(rect(), (Ints{660, 697 - 52 - 10, 52}));
  click(700, 670);
  EXPECT_EQ(ctx_menu.active, 0);
  ASSERT_EQ(trash_confirm_active, 1);
  EXPECT_EQ(trash_count, 3u);
  // Popup corner (650, 620): its "Empty" button spans x 662..731, y 682..701.
  click(700, 690);
  EXPECT_EQ(trash_confirm_active, 0);
  EXPECT_EQ(trash_count, 0u);
}

TEST_F(ContextMenu, TheOpenMenuIsDrawnWhereItAnswers) {
  render_frame();
  std::vector<u32> before(backbuf, backbuf + 1024 * 768);
  items_after_right_press(kTrashX, kTrashY);
  render_frame();
  // The glass panel covers its rectangle (660, 635, 160 x 52) and nothing
  // above it; the first label's ink sits in the first row.
  int changed_inside = 0, changed_above = 0;
  for (i32 y = 600; y < 687; ++y)
    for (i32 x = 660; x < 820; ++x) {
      const bool changed = backbuf[y * 1024 + x] != before[y * 1024 + x];
      (y < 635 ? changed_above : changed_inside) += changed;
    }
  EXPECT_GT(changed_inside, 160 * 52 / 2);
  EXPECT_EQ(changed_above, 0);
  int ink = 0;
  for (i32 y = 647; y < 655; ++y)
    for (i32 x = 672; x < 672 + 8 * 10; ++x) ink += backbuf[y * 1024 + x] == 0x1C1C1Cu;
  EXPECT_GT(ink, 20);  // "Open Trash"
}

TEST_F(ContextMenu, DesktopIconIsSelectedAloneAndOffersRenameDeleteAndPin) {
  const i32 file = make_file("a.txt");
  DesktopIcon& icon = make_icon(0, file, 40, 50);
  DesktopIcon& other = make_icon(1, make_file("b.txt"), 40, 170);
  other.selected = 1;
  EXPECT_EQ(items_after_right_press(50, 60), (Items{{"Rename", 12}, {"Delete", 10}, {"Pin to Dock", 17}}));
  EXPECT_EQ((Ints{icon.selected, other.selected}), (Ints{1, 0}));
  EXPECT_EQ((Ints{ctx_menu.fs_idx, ctx_menu.app}), (Ints{file, 5}));
  dock_items[7] = DockItem{5, 0xF5C842, "a.txt", 1, file, 1};
  other.selected = 1;  // an icon already selected keeps the group
  EXPECT_EQ(items_after_right_press(50, 60).back(), (Item{"Unpin from Dock", 18}));
  EXPECT_EQ(other.selected, 1);

  make_icon(2, fs_create(fs_desktop_dir, "Work", kFsDir), 40, 290);
  EXPECT_EQ(items_after_right_press(50, 300), (Items{{"Rename", 12}, {"Delete", 10}}));
  EXPECT_EQ(ctx_menu.app, 0);
}

TEST_F(ContextMenu, EmptyDesktopMenuOpensUpwardKeepsToTheScreenAndAnswersByRow) {
  EXPECT_EQ(items_after_right_press(300, 400),
            (Items{{"New Folder", 13}, {"New File", 14}, {"Show/Hide Icons", 8}, {"New Finder Window", 1}}));
  EXPECT_EQ(rect(), (Ints{300, 400 - 92, 92}));
  // Items answer in 20-pixel rows below a 6-pixel margin: x 300 to 459, from y 308.
  using dispatch::ctx_menu_action_at;
  EXPECT_EQ(ctx_menu_action_at(300, 308), 13);  // the top margin counts as the first row
  EXPECT_EQ(ctx_menu_action_at(459, 333), 13);
  EXPECT_EQ(ctx_menu_action_at(300, 334), 14);
  EXPECT_EQ(ctx_menu_action_at(300, 393), 1);
  EXPECT_EQ(ctx_menu_action_at(300, 394), -1);  // the bottom margin answers nothing
  EXPECT_EQ(ctx_menu_action_at(460, 320), -1);
  EXPECT_EQ(ctx_menu_action_at(300, 307), -1);
  items_after_right_press(1000, 40);
  EXPECT_EQ(rect(), (Ints{1024 - 164, 32, 92}));
}

TEST_F(ContextMenu, AnyLeftPressClosesTheMenuWithoutReachingBeneath) {
  Window& w = make_window(app::kAbout, 250, 250, 400, 300);
  make_window(app::kClock, 700, 40, 200, 200);
  items_after_right_press(100, 500);
  click(300, 300);
  EXPECT_EQ(ctx_menu.active, 0);
  EXPECT_NE(focused_window, win_index(w));
}

}  // namespace
}  // namespace tavlin::test
