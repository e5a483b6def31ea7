// Keyboard scenarios: typed characters reach only the text entry that owns
// the keyboard (a desktop icon's name, the upload dialog or the focused
// window), Ctrl+S saves once per press, F2 starts the right rename, and
// Escape closes an open drop-down first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

class KeyboardDispatch : public DispatchTest {
 protected:
  static Window& terminal() {
    Window& w = make_window(app::kTerminal, 100, 100, 560, 380);
    w.term_input[0] = 0;
    w.term_input_len = 0;
    return w;
  }

  static void type_and_pass(const std::string& text) {
    type(text);
    pass();
  }
};

TEST_F(KeyboardDispatch, CharactersReachOnlyTheFocusedWindow) {
  Window& term = terminal();
  Window& finder = make_window(app::kFinder, 300, 100, 520, 380);
  finder.finder_renaming = 1;
  win_focus_and_raise(term);
  type_and_pass("ls -a");
  EXPECT_STREQ(term.term_input, "ls -a");
  EXPECT_STREQ(finder.finder_rename_text, "");
  focused_window = -1;
  type_and_pass("xyz");
  make_window(app::kClock, 100, 100, 320, 260);  // takes no keys
  type_and_pass("xyz");
  EXPECT_TRUE(ring_empty());
  EXPECT_STREQ(term.term_input, "ls -a");
}

TEST_F(KeyboardDispatch, TerminalLineHoldsFortyFiveCharactersAndEnterRunsIt) {
  Window& term = terminal();
  type_and_pass(std::string(46, 'a'));
  EXPECT_EQ(term.term_input_len, 45u);
  type_and_pass("\b\bb\t\x1b");  // tab and escape are not printable
  EXPECT_EQ(std::string(term.term_input), std::string(43, 'a') + "b");
  EXPECT_EQ(term.term_input_len, 44u);
  type_and_pass("\n");
  EXPECT_EQ(term.term_input_len, 0u);
}

TEST_F(KeyboardDispatch, CtrlSSavesOncePerPressOfTheChord) {
  const i32 node = make_file("notes.txt", "old");
  Window& w = make_window(app::kTextEdit, 100, 100, 480, 360);
  w.doc_node = node;
  std::strcpy(w.text, "new");
  w.te_modified = 1;
  key_states[scancode::kCtrl] = 1;
  pass();
  EXPECT_STREQ(fs_nodes[node].text, "old");  // Ctrl alone
  key_states[scancode::kS] = 1;
  pass();
  EXPECT_STREQ(fs_nodes[node].text, "new");
  EXPECT_EQ(w.te_modified, 0u);
  std::strcpy(w.text, "newer");
  w.te_modified = 1;
  pass();
  pass();
  EXPECT_STREQ(fs_nodes[node].text, "new");  // still held: no second save
  EXPECT_EQ(w.te_modified, 1u);
  key_states[scancode::kS] = 0;
  pass();
  key_states[scancode::kS] = 1;
  pass();
  EXPECT_STREQ(fs_nodes[node].text, "newer");

  // Untitled, or not focused: nothing is saved.
  key_states[scancode::kS] = 0;
  pass();
  w.doc_node = -1;
  w.te_modified = 1;
  key_states[scancode::kS] = 1;
  pass();
  EXPECT_EQ(w.te_modified, 1u);
  key_states[scancode::kS] = 0;
  pass();
  w.doc_node = node;
  std::strcpy(w.text, "lost");
  focused_window = -1;
  key_states[scancode::kS] = 1;
  pass();
  EXPECT_STREQ(fs_nodes[node].text, "newer");
}

TEST_F(KeyboardDispatch, F2InTheFinderRenamesItsSelectedEntryAndNothingElse) {
  const i32 node = make_file("report.txt");
  make_icon(0, make_file("icon.txt"), 40, 50);
  Window& finder = make_window(app::kFinder, 300, 100, 520, 380);
  move_to(50, 60);  // over the icon: the Finder still wins
  pending_f2_event = 1;
  pass();
  EXPECT_EQ(pending_f2_event, 0);
  EXPECT_EQ(finder.finder_renaming, 0u);  // nothing selected
  EXPECT_EQ(desktop_renaming_idx, -1);
  finder.finder_last_sel = node;
  pending_f2_event = 1;
  pass();
  EXPECT_EQ(finder.finder_renaming, 1u);
  EXPECT_STREQ(finder.finder_rename_text, "report.txt");
}

TEST_F(KeyboardDispatch, F2ElsewhereRenamesTheDesktopIconUnderThePointer) {
  DesktopIcon& icon = make_icon(3, make_file("icon.txt"), 40, 50);
  make_window(app::kClock, 300, 100, 320, 260);
  move_to(300, 400);
  pending_f2_event = 1;
  pass();
  EXPECT_EQ(desktop_renaming_idx, -1);
  move_to(50, 140);
  pending_f2_event = 1;
  pass();
  EXPECT_EQ(desktop_renaming_idx, 3);
  EXPECT_STREQ(icon.rename_buf, "icon.txt");
}

TEST_F(KeyboardDispatch, DesktopRenameTakesTheKeysAndEnterLeavesTheRestQueued) {
  const i32 node = make_file("a.txt");
  DesktopIcon& icon = make_icon(0, node, 40, 50);
  Window& term = terminal();
  desktop_begin_rename(&icon);
  type_and_pass("\b\b\b\b\bb.md\nls");
  EXPECT_STREQ(fs_nodes[node].name, "b.md");
  EXPECT_STREQ(icon.label, "b.md");
  EXPECT_STREQ(term.term_input, "");
  EXPECT_FALSE(ring_empty());
  pass();
  EXPECT_STREQ(term.term_input, "ls");
}

TEST_F(KeyboardDispatch, DesktopRenameHoldsTwentySevenCharactersAndEscapeCancels) {
  const i32 node = make_file("a");
  DesktopIcon& icon = make_icon(0, node, 40, 50);
  desktop_begin_rename(&icon);
  type_and_pass(std::string(30, 'x'));
  EXPECT_EQ(std::string(icon.rename_buf), "a" + std::string(26, 'x'));
  type_and_pass("\x1b");
  EXPECT_STREQ(fs_nodes[node].name, "a");
  EXPECT_EQ((std::vector<i32>{icon.renaming, desktop_renaming_idx}), (std::vector<i32>{0, -1}));
}

TEST_F(KeyboardDispatch, EscapeClosesAnOpenDropDownBeforeReachingTheWindow) {
  Window& finder = make_window(app::kFinder, 300, 100, 520, 380);
  finder.finder_renaming = 1;
  open_menu = 2;
  type_and_pass("\x1b");
  EXPECT_EQ(open_menu, -1);
  EXPECT_EQ(finder.finder_renaming, 1u);
  type_and_pass("\x1b");
  EXPECT_EQ(finder.finder_renaming, 0u);
}

TEST_F(KeyboardDispatch, FinderRenameCommitsOnEnterUnlessProtectedOrEmpty) {
  const i32 node = make_file("draft.txt");
  Window& finder = make_window(app::kFinder, 300, 100, 520, 380);
  finder.finder_last_sel = node;
  finder.finder_renaming = 1;
  std::strcpy(finder.finder_rename_text, "draft.txt");
  type_and_pass("\b\b\bmd\n");
  EXPECT_STREQ(fs_nodes[node].name, "draft.md");
  EXPECT_EQ(finder.finder_renaming, 0u);

  finder.finder_renaming = 1;
  finder.finder_rename_text[0] = 0;
  type_and_pass("\n");
  EXPECT_STREQ(fs_nodes[node].name, "draft.md");

  finder.finder_last_sel = fs_desktop_dir;
  finder.finder_renaming = 1;
  std::strcpy(finder.finder_rename_text, "Stuff");
  type_and_pass("\n");
  EXPECT_STREQ(fs_nodes[fs_desktop_dir].name, "Desktop");
  EXPECT_EQ(finder.finder_renaming, 0u);
}

TEST_F(KeyboardDispatch, StoreLettersWalkTheListWithinItsEnds) {
  std::memset(&vuzedezoz_idir[0], 0, sizeof vuzedezoz_idir[0]);
  StoreState& s = vuzedezoz_idir[0];
  s.file_count = 3;
  s.selected = -1;
  make_window(app::kStore, 100, 100, 600, 420).store = &s;
  const struct {
    char key;
    i32 selected;
  } steps[] = {{'j', 0}, {'J', 1}, {'P', 2}, {'j', 2}, {'H', 1}, {'k', 0}, {'K', 0}, {'p', 0}, {'h', 0}};
  for (const auto& step : steps) {
    type_and_pass(std::string(1, step.key));
    EXPECT_EQ(s.selected, step.selected) << step.key;
  }
}

TEST_F(KeyboardDispatch, TheUploadDialogTakesEveryCharacter) {
  Window& term = terminal();
  upload_dialog.active = 1;
  type_and_pass("name\n");
  EXPECT_TRUE(ring_empty());
  EXPECT_STREQ(term.term_input, "");
}

}  // namespace
}  // namespace tavlin::test
