// The window table (stacking and focus, the point hit test, slot reuse,
// minimise and close) and launching: one window per application, centred, focused, with a dock record, and
// files in the application their name or content selects.
#include "kernel/wm/window.h"

#include "kernel/wm/launch.h"
#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using Windows = WmTest;
using Launch = WmTest;

TEST_F(Windows, FocusRaisesWindowAtPicksTheFrontmostVisibleOneAndAFreedSlotComesBackClean) {
  Window& low = make_window(app::kClock, 100, 100, 300, 200);
  Window& high = make_window(app::kAbout, 150, 150, 300, 200);
  win_focus_and_raise(low);
  EXPECT_EQ((Ints{high.z, low.z, next_z, focused_window}), (Ints{2, 3, 4, win_index(low)}));
  EXPECT_EQ(window_at(200, 200), &low);  // where both are, the front one
  win_focus_and_raise(high);
  high.minimized = 1;
  EXPECT_EQ(window_at(200, 200), &low);
  low.in_use = 0;
  std::strcpy(low.text, "left over");
  ASSERT_EQ(win_alloc(), &low);
  EXPECT_EQ((Ints{i32(low.in_use), low.text[0], low.doc_node, low.image_node, low.finder_dir, low.finder_last_sel}),
            (Ints{0, 0, -1, -1, -1, -1}));
}

TEST_F(Windows, AFocusMidMinimiseStillHidesAndCloseReleasesTheStoreStateAndFreesTheSlotWhenItsAnimationEnds) {
  Window& term = make_window(app::kTerminal, 100, 200, 480, 360);
  win_minimize(term);
  advance(3);
  win_focus_and_raise(term);  // e.g. its dock tile clicked mid-animation: it still ends hidden
  advance(30);
  win_end_finished_animations();
  EXPECT_EQ((Ints{i32(term.minimized), i32(term.minimize_pending), focused_window}), (Ints{1, 0, -1}));
  make_window(app::kClock, 0, 40, 100, 100);
  Window& w = make_window(app::kStore, 100, 200, 460, 320);
  vuzedezoz_idir_used[3] = 1;
  w.store = &vuzedezoz_idir[3];
  close_window(&w);
  EXPECT_EQ((Ints{i32(vuzedezoz_idir_used[3]), focused_window}), (Ints{0, -1}));  // no other window takes the focus
  advance(14);  // p = 87, eased to 99
  win_end_finished_animations();
  EXPECT_EQ(window_at(300, 300), &w);  // still found while closing
  advance(1);
  win_end_finished_animations();
  EXPECT_EQ(w.in_use, 0u);
  close_window(nullptr);
  close_window(&w);  // a free slot
  EXPECT_EQ(w.anim_kind, anim::kNone);
}

TEST_F(Launch, EachKindOpensCentredInTheWorkAreaOnceAndFocusedAndANinthHasNoRoom) {
  const std::tuple<u32, const char*, Ints> cases[] = {
      {3, "Terminal", {232, 170, 560, 380}}, {4, "Finder", {252, 170, 520, 380}},
      {8, "Tavlin Web", {132, 100, 760, 520}}, {10, "Moss Store", {212, 150, 600, 420}}};
  for (const auto& [kind, title, place] : cases) {
    open_app(static_cast<i32>(kind));
    open_app(static_cast<i32>(kind));  // a second launch focuses the first window
    ASSERT_EQ(windows_of(kind), 1) << kind;
    EXPECT_STREQ(first_of(kind)->title, title);
    EXPECT_EQ(focused_window, win_index(*first_of(kind)));
    EXPECT_EQ(frame(*first_of(kind)), place) << kind;
  }
  EXPECT_EQ((Ints{first_of(4)->finder_dir, first_of(10)->store->selected}), (Ints{fs_desktop_dir, -1}));
  for (i32 kind : {1, 2, 5, 9}) open_app(kind);
  const i32 z = next_z, dynamic = dock_dynamic_count;
  open_file_in_app(make_file("notes.txt", "hi"));  // a ninth window has no room
  EXPECT_EQ((Ints{windows_of(), next_z, dock_dynamic_count}), (Ints{8, z, dynamic}));
}

TEST_F(Launch, AClosingWindowIsNotBroughtBack) {
  open_app(3);
  close_window(&windows[0]);
  open_app(3);  // clicked again while the old one shrinks away
  advance(20);
  win_end_finished_animations();
  EXPECT_EQ((Ints{windows_of(), focused_window, i32(windows[1].app)}), (Ints{1, 1, 3}));
}

TEST_F(Launch, FilesOpenOnceInTheApplicationTheirNameOrBlobSelectsAndBadNodesOpenNothing) {
  const std::tuple<const char*, bool, u32> cases[] = {  // the name, whether blob-backed, the kind
      {"photo.jpeg", false, 6}, {"clip.webm", false, 9}, {"movie.zeva", true, 9}, {"README", false, 5},
      {"scan", true, 6}};
  for (const auto& [name, blob, kind] : cases) {
    reset_desktop();
    const i32 node = blob ? make_blob_file(name, {1, 2, 3, 4, 5}) : make_file(name, "some text");
    open_file_in_app(node);
    open_file_in_app(node);
    ASSERT_EQ(windows_of(kind), 1) << name;
    EXPECT_STREQ(first_of(kind)->title, name);
    EXPECT_EQ((Ints{dock_items[16].fs_idx, dock_items[16].is_file}), (Ints{node, 1})) << name;
    if (kind == app::kTextEdit) EXPECT_STREQ(first_of(kind)->text, "some text");
  }
  for (i32 not_a_file : {-1, fs_desktop_dir, 127, 500}) open_file_in_app(not_a_file);
  EXPECT_EQ(windows_of(), 1);
}

TEST_F(Launch, StoreNeedsAFreeStateAndKindsWithoutAWindowOpenNothing) {
  for (u32& used : vuzedezoz_idir_used) used = 1;
  for (i32 kind : {10, 0, 6, 7, 11, -1}) open_app(kind);  // the Trash kind shows the Trash window
  for (const Window& w : windows) EXPECT_FALSE(w.in_use && w.app != app::kTrash);
  EXPECT_EQ(dock_dynamic_count, 0);
  for (i32 i = 0; i < 16; ++i) dock_add_dynamic_item(6, 40 + i, "x");
  open_app(9);  // a full dock still opens the window
  EXPECT_EQ(windows_of(9), 1);
}

}  // namespace
}  // namespace tavlin::test
