// The top bar's titles and drop-downs (where they answer), each menu
// action's effect on the tables, greyed entries, pinning and the Edit menu.

#include "kernel/wm/launch.h"
#include "kernel/wm/topbar.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

class Menus : public DispatchTest {
 protected:
  void SetUp() override {
    DispatchTest::SetUp();
    draw_topbar();  // the titles' places come from drawing
  }
  // The context menu left open on a node or an application.
  static void aim_at(i32 node, i32 kind = 0) { ctx_menu = CtxMenu{1, 300, 400, {}, {}, 0, node, kind}; }
};

TEST_F(Menus, EveryTitleOpensItsDropDownWhoseRowsAnswer) {
  for (i32 m = 0; m < kTopMenuCount; ++m) {
    MenuBox box;
    ASSERT_TRUE(dropdown_box(m, &box));
    open_menu = -1;
    click(box.x, 14);  // the click area starts 6 px left of the title
    ASSERT_EQ(open_menu, m);
    const i32 last = box.y + box.h - 7, right = box.x + box.w;  // rows of 20 below a 6-pixel margin
    const Tap taps[] = {{box.x, 34, 0}, {box.x, last, (box.h - 12) / 20 - 1}, {box.x, last + 1, -1}, {right, 40, -1}};
    for (const Tap& t : taps) EXPECT_EQ(menu_dropdown_hit_test(t.x, t.y), t.after) << m << ": " << t.x << "," << t.y;
  }
  Window& w = make_window(app::kAbout, 100, 100, 400, 300);
  make_window(app::kClock, 600, 100, 300, 300);
  click(300, 200);  // swallowed by the open menu
  EXPECT_EQ((Ints{open_menu, focused_window == win_index(w)}), (Ints{-1, 0}));
  click(130, 14);  // File, then New Terminal
  click(140, 60);
  EXPECT_EQ((Ints{windows_of(app::kTerminal), open_menu}), (Ints{1, -1}));
}

TEST_F(Menus, WindowActionsWorkOnTheFocusedWindow) {
  Window& a = make_window(app::kTerminal, 100, 100, 300, 200);
  Window& b = make_window(app::kAbout, 200, 150, 300, 200);
  make_window(app::kClock, 300, 200, 300, 200).minimized = 1;
  focused_window = win_index(b);
  dispatch_menu_action(action::kCycleWindows);  // past the minimised clock, round to a
  dispatch_menu_action(action::kZoom);
  EXPECT_EQ(frame(a), (Ints{0, 28, 1024, 768 - 104}));
  dispatch_menu_action(action::kMinimize);
  EXPECT_EQ((Ints{i32(a.anim_kind), focused_window}), (Ints{anim::kMinimize, -1}));
  dispatch_menu_action(action::kCycleWindows);  // b alone is visible
  dispatch_menu_action(action::kSetAppName);
  EXPECT_STREQ(b.app_name, "Unknown Application");
  dispatch_menu_action(action::kCloseWindow);
  EXPECT_EQ(b.anim_kind, anim::kClose);
  EXPECT_FALSE(menu_action_available(action::kCycleWindows));  // nothing visible is left
  Window& d = make_window(app::kFinder, 10, 40, 300, 200);
  dispatch_menu_action(action::kMinimizeAll);
  dispatch_menu_action(action::kToggleDesktopIcons);
  EXPECT_EQ((Ints{i32(d.anim_kind), show_desktop_icons}), (Ints{anim::kMinimize, 0}));
}

TEST_F(Menus, FileActionsCreateRenameAndDeleteButNeverAProtectedFolder) {
  aim_at(-1);
  for (i32 code : {action::kNewFolder, action::kNewFolder, action::kNewFile}) dispatch_menu_action(code);
  const i32 folder = fs_find_child(fs_desktop_dir, "New Folder");
  const i32 file = fs_find_child(fs_desktop_dir, "New File.txt");
  EXPECT_EQ((Ints{fs_find_child(fs_desktop_dir, "New Folder 2") >= 0, desktop_icons[2].fs_idx}), (Ints{1, file}));
  aim_at(folder);
  dispatch_menu_action(action::kNewFile);  // inside the folder the menu was opened on
  EXPECT_GE(fs_find_child(folder, "New File.txt"), 0);
  aim_at(file);
  dispatch_menu_action(action::kDesktopRename);
  Window& finder = make_window(app::kFinder, 100, 100, 520, 380);
  dispatch_menu_action(action::kFinderRename);
  EXPECT_EQ((Ints{desktop_renaming_idx, finder.finder_last_sel, i32(finder.finder_renaming)}), (Ints{2, file, 1}));
  fs_set_content(file, "keep");
  dispatch_menu_action(action::kDelete);
  ASSERT_EQ(trash_count, 1u);
  EXPECT_EQ((Ints{fs_is_live(file), desktop_icons[2].in_use}), (Ints{0, 0}));
  EXPECT_STREQ(trash_items[0].text, "keep");
  aim_at(fs_desktop_dir);  // a protected folder is neither deleted nor recorded
  EXPECT_FALSE(menu_action_available(action::kDelete));
  dispatch_menu_action(action::kDelete);
  EXPECT_EQ((Ints{fs_is_live(fs_desktop_dir), i32(trash_count)}), (Ints{1, 1}));
}

TEST_F(Menus, PinAndUnpinMoveTilesBetweenTheAreasAndAFullAreaIsReported) {
  const i32 file = make_file("a-long-file-name-here-x.txt");
  aim_at(file, 5);
  dispatch_menu_action(action::kPinToDock);
  EXPECT_STREQ(dock_items[7].label, "a-long-file-name-...");
  EXPECT_EQ((Ints{dock_items[7].app, dock_items[7].fs_idx, dock_items[7].is_file}), (Ints{5, file, 1}));
  EXPECT_FALSE(menu_action_available(action::kPinToDock));  // already there
  open_app(i32(app::kMediaPlayer));                         // its running tile moves into the pinned area
  aim_at(-1, 9);
  dispatch_menu_action(action::kPinToDock);
  EXPECT_EQ((Ints{dock_dynamic_count, dock_items[8].app}), (Ints{0, 9}));
  dispatch_menu_action(action::kUnpinFromDock);  // and goes, while its window stays
  EXPECT_EQ((Ints{dock_items[8].app, dock_dynamic_count, windows_of(app::kMediaPlayer)}), (Ints{0, 0, 1}));
  open_file_in_app(file);
  aim_at(file);
  dispatch_menu_action(action::kUnpinFromDock);  // an open file keeps a tile
  EXPECT_EQ((Ints{dock_items[7].app, dock_dynamic_count, dock_items[16].fs_idx}), (Ints{0, 1, file}));
  for (i32 i = 0; i < 10; ++i) {  // nine fill the pinned area, the tenth finds it full
    aim_at(make_file(("f" + std::to_string(i)).c_str()));
    EXPECT_EQ(menu_action_available(action::kPinToDock), i < 9);
    dispatch_menu_action(action::kPinToDock);
  }
  const auto bytes = fake_hw::bytes_written_to(0x3F8);
  const std::string log(bytes.begin(), bytes.end());
  EXPECT_NE(log.find("[Dock] No free pinned slot \xE2\x80\x94 pin failed, item left where it was"), std::string::npos);
}

TEST_F(Menus, EditMenuUndoesRedoesAndSelectsAll) {
  Window& te = make_window(app::kTextEdit, 100, 100, 480, 360);
  std::strcpy(te.text, "hello world");
  te.text_len = 11;
  std::strcpy(te.te_undo_text, "hello");
  te.te_undo_len = 5;
  EXPECT_FALSE(menu_action_available(action::kRedo));
  dispatch_menu_action(action::kUndo);
  EXPECT_EQ(std::string(te.text) + "|" + std::to_string(te.te_caret), "hello|5");
  dispatch_menu_action(action::kRedo);
  dispatch_menu_action(action::kSelectAll);
  EXPECT_EQ(std::string(te.text) + "|" + std::to_string(te.te_sel_end), "hello world|11");
  EXPECT_FALSE(menu_action_available(action::kRedo));
  focused_window = -1;  // no window: the desktop's icons
  make_icon(0, make_file("a"), 40, 50);
  EXPECT_TRUE(menu_action_available(action::kSelectAll));
  dispatch_menu_action(action::kSelectAll);
  EXPECT_EQ(desktop_icons[0].selected, 1);
}

}  // namespace
}  // namespace tavlin::test
