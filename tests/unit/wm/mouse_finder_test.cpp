// Pointer scenarios in a Finder window: selection with and without Shift and
// Ctrl, the rubber band, double clicks in ticks, Back and the favourites, and
// drags onto a folder, the desktop and the trash.

#include "kernel/apps/finder.h"
#include "kernel/fs/tree_ops.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

// The Finder at (100, 100, 520, 380) shows "Work" on the Desktop, holding
// a.txt, b.txt, c.txt, the folder Sub and d.txt as items 0 to 4; item i's
// icon centre is (275 + 90 (i mod 3), 188 + 78 (i / 3)).
class FinderMouse : public DispatchTest {
 protected:
  void SetUp() override {
    DispatchTest::SetUp();
    work = fs_create(fs_desktop_dir, "Work", kFsDir);
    for (const char* name : {"a.txt", "b.txt", "c.txt", "Sub", "d.txt"})
      items.push_back(fs_create(work, name, name[1] == '.' ? kFsFile : kFsDir));
    win = &make_window(app::kFinder, 100, 100, 520, 380, "Finder");
    win->finder_dir = work;
  }
  static i32 ix(i32 i) { return 275 + 90 * (i % 3); }
  static i32 iy(i32 i) { return 188 + 78 * (i / 3); }
  static void tap_item(i32 i, u8 ctrl = 0, u8 shift = 0) {
    key_states[scancode::kCtrl] = ctrl;
    key_shift = shift;
    tap(ix(i), iy(i));
    key_states[scancode::kCtrl] = key_shift = 0;
  }
  // Positions in the folder shown of the selected items, then of the last-selected one (-1 for none).
  Ints selection() const {
    Ints out;
    i32 last = -1, i = 0;
    for (i32 n = finder_first_entry(win->finder_dir); n >= 0; n = finder_next_entry(n), ++i) {
      if (win->finder_sel[n]) out.push_back(i);
      if (n == win->finder_last_sel) last = i;
    }
    out.push_back(last);
    return out;
  }
  void drag_selection_to(i32 from, i32 x, i32 y) {
    advance(100);
    drag(ix(from), iy(from), x, y);
  }
  i32 work = -1;
  std::vector<i32> items;
  Window* win = nullptr;
};

TEST_F(FinderMouse, PressesAndTheBandSelectADoubleClickWithin29TicksOpensOrEntersAndBackAndFavouritesNavigate) {
  // The item pressed (-1: a band from the empty space right of the third column into items 1 and 2), Ctrl,
  // Shift, and the selection after.
  const std::tuple<i32, u8, u8, Ints> steps[] = {
      {1, 0, 0, {1, 1}},    {3, 0, 1, {1, 2, 3, 3}}, {0, 0, 1, {0, 1, 0}}, {4, 1, 0, {0, 1, 4, 4}},
      {4, 1, 0, {0, 1, 0}}, {-1, 0, 0, {1, 2, 2}},   {0, 0, 0, {0, 0}},    {-1, 1, 0, {0, 1, 2, 2}}};
  for (const auto& [item, ctrl, shift, selected_then_last] : steps) {
    if (item >= 0) {
      tap_item(item, ctrl, shift);
    } else {
      key_states[scancode::kCtrl] = ctrl;
      advance(100);
      drag(560, 200, 340, 230);
      key_states[scancode::kCtrl] = 0;
    }
    EXPECT_EQ(selection(), selected_then_last) << "item " << item;
  }
  EXPECT_EQ(win->finder_rubber_active, 0u);
  const u32 t0 = pit_ticks;
  for (u32 t : {0u, 30u, 59u}) {
    pit_ticks = t0 + t;
    click(ix(0), iy(0));
  }
  ASSERT_EQ(windows_of(app::kTextEdit), 1);
  EXPECT_EQ(first_of(app::kTextEdit)->doc_node, items[0]);
  win_focus_and_raise(*win);
  tap_item(3);
  click(ix(3), iy(3));
  EXPECT_EQ((Ints{win->finder_dir, win->finder_last_sel}), (Ints{items[3], -1}));
  const Tap presses[] = {{110, 140, work},    {110, 140, fs_desktop_dir}, {110, 140, fs_root},
                         {110, 140, fs_root}, {120, 170, fs_root},        {120, 230, finder_favorite_target(2)}};
  for (const Tap& p : presses) {
    tap(p.x, p.y);
    EXPECT_EQ(win->finder_dir, p.after) << p.x << "," << p.y;
  }
}

TEST_F(FinderMouse, DraggedItemsLandInAFolderOnTheDesktopOrInTheTrash) {
  const i32 taken = fs_create(items[3], "b.txt", kFsFile);  // Sub already holds a b.txt
  tap_item(0);
  tap_item(1, 1);
  for (auto [x, y] : {std::pair{ix(0) + 3, iy(0) + 3}, {800, 10}, {ix(1), iy(1)}})
    drag_selection_to(0, x, y);  // a nudge, the top bar, an entry of the selection itself
  EXPECT_EQ(selection(), (Ints{0, 1, 1}));
  drag_selection_to(0, ix(3), iy(3));
  EXPECT_EQ((Ints{fs_nodes[items[0]].parent, fs_nodes[items[1]].parent, fs_nodes[taken].parent}),
            (Ints{items[3], work, items[3]}));
  EXPECT_EQ(selection(), (Ints{-1}));
  // Work holds b.txt, c.txt, Sub and d.txt now.
  tap_item(1);
  drag_selection_to(1, 800, 300);
  EXPECT_EQ(fs_nodes[items[2]].parent, fs_desktop_dir);
  // A second d.txt written behind the name check, after Sub and d.txt: the
  // trash takes the one dragged.
  const i32 twin = fs_create(work, "e.txt", kFsFile);
  std::strcpy(fs_nodes[twin].name, "d.txt");
  tap_item(3);
  drag_selection_to(3, kTrashX, kTrashY);
  EXPECT_EQ((Ints{fs_is_live(items[4]), fs_is_live(twin), i32(trash_count)}), (Ints{1, 0, 1}));
}

}  // namespace
}  // namespace tavlin::test
