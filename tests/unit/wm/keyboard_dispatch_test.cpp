// Keyboard scenarios: typed characters reach only the text entry that owns
// the keyboard (a desktop icon's name, the upload dialog or the focused
// window), Ctrl+S saves the focused document once a press, F2 starts the right rename, a press outside a desktop icon
// commits its rename, and Escape closes an open drop-down first.

#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

class KeyboardDispatch : public DispatchTest {
 protected:
  static void type_and_pass(const std::string& text) {
    type(text);
    pass();
  }
};

TEST_F(KeyboardDispatch, CharactersReachOnlyTheFocusedWindowOrTheUploadDialog) {
  Window& term = make_window(app::kTerminal, 100, 100, 560, 380);
  Window& finder = make_window(app::kFinder, 300, 100, 520, 380);
  finder.finder_renaming = 1;
  win_focus_and_raise(term);
  type_and_pass(std::string(46, 'a') + "\b\bb\t\x1b");  // 45 characters at most; tab and escape are not printable
  EXPECT_EQ(std::string(term.term_input) + "|" + finder.finder_rename_text, std::string(43, 'a') + "b|");
  upload_dialog.active = 1;
  type_and_pass("name\n");
  upload_dialog.active = 0;
  make_window(app::kClock, 100, 100, 320, 260);  // takes no keys
  type_and_pass("xyz");
  EXPECT_EQ((Ints{i32(kbd_head), i32(term.term_input_len)}), (Ints{i32(kbd_tail), 44}));
}

TEST_F(KeyboardDispatch, CtrlSSavesTheFocusedDocumentOncePerPressOfTheChord) {
  const i32 node = make_file("notes.txt", "old");
  Window& w = make_window(app::kTextEdit, 100, 100, 480, 360);
  key_states[scancode::kCtrl] = 1;
  // S down, new unsaved text (empty: none), the document, the focused window; the file's text and the flag after.
  const std::tuple<u8, const char*, i32, i32, const char*, u32> passes[] = {
      {0, "new", node, 0, "old", 1},     {1, "", node, 0, "new", 0},       // the chord goes down: one save
      {1, "newer", node, 0, "new", 1},   {0, "", node, 0, "new", 1},       // still held, then released
      {1, "", node, 0, "newer", 0},      {1, "x", -1, 0, "newer", 1},      // untitled: nothing to save
      {0, "", node, 0, "newer", 1},      {1, "lost", node, -1, "newer", 1}};  // not focused
  for (const auto& p : passes) {
    const auto& [s, typed, doc, focus, saved, modified] = p;
    key_states[scancode::kS] = s;
    if (*typed) std::strcpy(w.text, typed);
    w.te_modified = *typed ? 1 : w.te_modified;
    w.doc_node = doc;
    focused_window = focus;
    pass();
    EXPECT_EQ(std::string(fs_nodes[node].text) + "|" + std::to_string(w.te_modified),
              std::string(saved) + "|" + std::to_string(modified)) << &p - passes;
  }
}

TEST_F(KeyboardDispatch, F2RenamesTheFocusedFindersSelectionOrElseTheIconUnderThePointer) {
  DesktopIcon& icon = make_icon(3, make_file("icon.txt"), 40, 50);
  Window& finder = make_window(app::kFinder, 300, 100, 520, 380);
  // The pointer, the Finder's selection, whether another kind takes the focus; the Finder's and the icons' rename.
  const Ints presses[] = {{50, 60, -1, 0, 0, -1}, {50, 60, make_file("report.txt"), 0, 1, -1},
                          {320, 500, -1, 1, 0, -1}, {50, 140, -1, 1, 0, 3}};
  for (const Ints& p : presses) {
    finder.finder_renaming = 0;
    finder.finder_last_sel = p[2];
    if (p[3]) make_window(app::kClock, 300, 100, 320, 260);
    move_to(p[0], p[1]);
    pending_f2_event = 1;
    pass();
    EXPECT_EQ((Ints{pending_f2_event, i32(finder.finder_renaming), desktop_renaming_idx}), (Ints{0, p[4], p[5]}));
  }
  EXPECT_STREQ(icon.rename_buf, "icon.txt");
}

TEST_F(KeyboardDispatch, DesktopRenameTakesTheKeysUpToTwentySevenCharactersAndAPressOutsideCommitsIt) {
  const i32 node = make_file("a.txt");
  DesktopIcon& icon = make_icon(0, node, 40, 50);
  Window& term = make_window(app::kTerminal, 100, 100, 560, 380);
  desktop_begin_rename(&icon);
  type_and_pass("\b\b\b\b\bb.md\nls");  // Enter commits and leaves the rest queued
  EXPECT_EQ(std::string(fs_nodes[node].name) + "|" + icon.label + "|" + term.term_input, "b.md|b.md|");
  pass();
  EXPECT_STREQ(term.term_input, "ls");
  desktop_begin_rename(&icon);
  type_and_pass(std::string(30, 'x'));
  EXPECT_EQ(std::string(icon.rename_buf), "b.md" + std::string(23, 'x'));
  type_and_pass("\x1b");  // Escape cancels
  EXPECT_STREQ(fs_nodes[node].name, "b.md");
  EXPECT_EQ((Ints{icon.renaming, desktop_renaming_idx}), (Ints{0, -1}));
  make_file("taken.txt");
  const std::tuple<const char*, i32, const char*> presses[] = {  // typed, the press's y, the name after
      {"c.md", 140, "b.md"}, {"c.md", 400, "c.md"}, {"taken.txt", 400, "c.md"}};  // at y = 140: still the icon
  for (const auto& [typed, y, name_after] : presses) {
    if (!icon.renaming) desktop_begin_rename(&icon);
    std::strcpy(icon.rename_buf, typed);
    click(60, y);
    EXPECT_EQ(std::string(fs_nodes[node].name) + "|" + icon.label, std::string(name_after) + "|" + name_after);
  }
  EXPECT_EQ(desktop_renaming_idx, -1);
}

TEST_F(KeyboardDispatch, FinderRenameWaitsForAnOpenDropDownAndRefusesProtectedEmptyOrTakenNames) {
  const i32 node = make_file("draft.txt");
  make_file("notes.txt");
  Window& finder = make_window(app::kFinder, 300, 100, 520, 380);
  finder.finder_renaming = 1;
  open_menu = 2;
  type_and_pass("\x1b");  // Escape closes the drop-down first
  EXPECT_EQ((Ints{open_menu, i32(finder.finder_renaming)}), (Ints{-1, 1}));
  // The selection, the field, the keys typed and the name after.
  const std::tuple<i32, const char*, const char*, const char*> cases[] = {
      {node, "draft.txt", "\b\b\bmd\n", "draft.md"}, {node, "", "\n", "draft.md"}, {node, "..", "\n", "draft.md"},
      {node, "notes.txt", "\n", "draft.md"},         {node, "gone", "\x1b", "draft.md"},
      {fs_desktop_dir, "Stuff", "\n", "Desktop"}};
  for (const auto& [selected, field, typed, name_after] : cases) {
    finder.finder_last_sel = selected;
    finder.finder_renaming = 1;
    std::strcpy(finder.finder_rename_text, field);
    type_and_pass(typed);
    EXPECT_EQ(std::string(fs_nodes[selected].name) + "|" + std::to_string(finder.finder_renaming),
              std::string(name_after) + "|0") << field;
  }
}

TEST_F(KeyboardDispatch, StoreLettersWalkTheListWithinItsEndsAndScrollIt) {
  StoreState& s = vuzedezoz_idir[0];
  s = StoreState{};
  s.file_count = 12;
  s.selected = -1;
  make_window(app::kStore, 100, 100, 600, 420).store = &s;
  const std::tuple<const char*, i32, i32> steps[] = {  // keys, selection, scroll: rows of 184 in a 339-pixel grid
      {"j", 0, 0},        {"JP", 2, 0},       {"H", 1, 0}, {"kKph", 0, 0},
      {"jjjjjj", 6, 213}, {"JJJJJJ", 11, 397}, {"kkkkkkkkkkkk", 0, 0}};
  for (const auto& [keys, selected, scroll] : steps) {
    type_and_pass(keys);
    EXPECT_EQ((Ints{s.selected, s.list_scroll}), (Ints{selected, scroll})) << keys;
  }
}

}  // namespace
}  // namespace tavlin::test
