// Keyboard scenarios: typed characters reach only the text entry that owns
// the keyboard (a desktop icon's name, the upload dialog or the focused
// window), Ctrl+S saves once per press, F2 starts the right rename, and
// Escape closes an open drop-down first.
#include <gtest/gtest.h>

#include <string>

#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

class KeyboardDispatch : public DispatchTest {
 protected:
  static Window& terminal() { return make_window(app::kTerminal, 100, 100, 560, 380); }

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
  key_states[scancode::kCtrl] = 1;
  // Each pass: S held or not, new unsaved text (or none), then the file's
  // text and the modified flag afterwards.
  const struct {
    u8 s;
    const char* typed;
    i32 doc;
    i32 focus;
    const char* saved;
    u32 modified;
  } passes[] = {
      {0, "new", node, 0, "old", 1},      // Ctrl alone
      {1, nullptr, node, 0, "new", 0},    // the chord goes down: one save
      {1, "newer", node, 0, "new", 1},    // still held: no second save
      {1, nullptr, node, 0, "new", 1},    // ... nor on the next pass
      {0, nullptr, node, 0, "new", 1},    // S released
      {1, nullptr, node, 0, "newer", 0},  // pressed again
      {0, nullptr, node, 0, "newer", 0},  // released
      {1, "x", -1, 0, "newer", 1},        // untitled: nothing to save
      {0, nullptr, node, 0, "newer", 1},  // released
      {1, "lost", node, -1, "newer", 1},  // not focused
  };
  for (const auto& p : passes) {
    key_states[scancode::kS] = p.s;
    if (p.typed) {
      std::strcpy(w.text, p.typed);
      w.te_modified = 1;
    }
    w.doc_node = p.doc;
    focused_window = p.focus;
    pass();
    EXPECT_STREQ(fs_nodes[node].text, p.saved) << &p - passes;
    EXPECT_EQ(w.te_modified, p.modified) << &p - passes;
  }
}

TEST_F(KeyboardDispatch, F2RenamesTheFocusedFindersSelectionOrElseTheIconUnderThePointer) {
  const i32 node = make_file("report.txt");
  DesktopIcon& icon = make_icon(3, make_file("icon.txt"), 40, 50);
  Window& finder = make_window(app::kFinder, 300, 100, 520, 380);
  auto f2_at = [](i32 x, i32 y) {
    move_to(x, y);
    pending_f2_event = 1;
    pass();
    EXPECT_EQ(pending_f2_event, 0);
  };
  f2_at(50, 60);  // over the icon, but the focused Finder has nothing selected
  EXPECT_EQ((Ints{i32(finder.finder_renaming), desktop_renaming_idx}), (Ints{0, -1}));
  finder.finder_last_sel = node;
  f2_at(50, 60);
  EXPECT_EQ(finder.finder_renaming, 1u);
  EXPECT_STREQ(finder.finder_rename_text, "report.txt");
  make_window(app::kClock, 300, 100, 320, 260);  // another kind focused: the icon under the pointer
  f2_at(320, 500);
  EXPECT_EQ(desktop_renaming_idx, -1);
  f2_at(50, 140);
  EXPECT_EQ(desktop_renaming_idx, 3);
  EXPECT_STREQ(icon.rename_buf, "icon.txt");
}

TEST_F(KeyboardDispatch, DesktopRenameTakesTheKeysUpToTwentySevenCharacters) {
  const i32 node = make_file("a.txt");
  DesktopIcon& icon = make_icon(0, node, 40, 50);
  Window& term = terminal();
  desktop_begin_rename(&icon);
  type_and_pass("\b\b\b\b\bb.md\nls");  // Enter commits and leaves the rest queued
  EXPECT_STREQ(fs_nodes[node].name, "b.md");
  EXPECT_STREQ(icon.label, "b.md");
  EXPECT_STREQ(term.term_input, "");
  EXPECT_FALSE(ring_empty());
  pass();
  EXPECT_STREQ(term.term_input, "ls");

  desktop_begin_rename(&icon);
  type_and_pass(std::string(30, 'x'));
  EXPECT_EQ(std::string(icon.rename_buf), "b.md" + std::string(23, 'x'));
  type_and_pass("\x1b");  // Escape cancels
  EXPECT_STREQ(fs_nodes[node].name, "b.md");
  EXPECT_EQ((Ints{icon.renaming, desktop_renaming_idx}), (Ints{0, -1}));
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

TEST_F(KeyboardDispatch, FinderRenameCommitsOnEnterUnlessProtectedEmptyOrTaken) {
  const i32 node = make_file("draft.txt");
  make_file("notes.txt");
  Window& finder = make_window(app::kFinder, 300, 100, 520, 380);
  const struct {
    i32 selected;
    const char *text, *typed, *name_after;
  } cases[] = {{node, "draft.txt", "\b\b\bmd\n", "draft.md"},
               {node, "", "\n", "draft.md"},
               {node, "notes.txt", "\n", "draft.md"},
               {node, "..", "\n", "draft.md"},
               {fs_desktop_dir, "Stuff", "\n", "Desktop"}};
  for (const auto& c : cases) {
    finder.finder_last_sel = c.selected;
    finder.finder_renaming = 1;
    std::strcpy(finder.finder_rename_text, c.text);
    type_and_pass(c.typed);
    EXPECT_STREQ(fs_nodes[c.selected].name, c.name_after) << c.text;
    EXPECT_EQ(finder.finder_renaming, 0u) << c.text;
  }
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
  s.file_count = 12;  // the selection scrolls into view: card 6 ends 552 pixels down a 339-pixel grid
  type_and_pass("jjjjjj");
  EXPECT_EQ((Ints{s.selected, s.list_scroll}), (Ints{6, 552 - 339}));
  type_and_pass("kkkkkk");
  EXPECT_EQ((Ints{s.selected, s.list_scroll}), (Ints{0, 0}));
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
