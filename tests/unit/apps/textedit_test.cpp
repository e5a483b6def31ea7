// TextEdit: typing, deleting and replacing the selection, the 511-character
// limit, clipboard, undo, zoom and the arrow keys through its key entry
// points; Ctrl+S through the keyboard dispatcher; and the status bar.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kernel/apps/apps.h"
#include "kernel/apps/textedit.h"
#include "kernel/fs/tree_ops.h"
#include "unit/apps/app_screen.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

class TextEdit : public DispatchTest {
 protected:
  void SetUp() override {
    DispatchTest::SetUp();
    textedit_clipboard_len = 0;
    win = &make_window(app::kTextEdit, 100, 100, 480, 360);
    win->te_line_h = 12;
  }

  void set_text(const std::string& text, u32 caret) {
    std::strcpy(win->text, text.c_str());
    win->text_len = static_cast<u32>(text.size());
    win->te_caret = caret;
  }
  void select(i32 anchor, i32 end) {
    win->te_sel_anchor = anchor;
    win->te_sel_end = end;
    win->te_sel_active = 1;
  }
  void keys(const std::string& typed, bool ctrl = false) {
    key_states[scancode::kCtrl] = ctrl ? 1 : 0;
    for (char c : typed) textedit_key(*win, static_cast<u8>(c));
    key_states[scancode::kCtrl] = 0;
  }
  // One press and release of an arrow key, each seen by a poll.
  void arrow(u8 code, bool shift = false) {
    key_shift = shift ? 1 : 0;
    key_states[code] = 1;
    textedit_poll_arrows(*win);
    textedit_poll_arrows(*win);  // still held: no second step
    key_states[code] = 0;
    textedit_poll_arrows(*win);
    key_shift = 0;
  }
  std::string text() const { return std::string(win->text, win->text_len); }

  Window* win = nullptr;
};

TEST_F(TextEdit, TypingDeletingAndReplacingTheSelection) {
  const struct {
    const char* before;
    u32 caret;
    i32 anchor, end;  // an active selection unless both are -1
    bool ctrl;
    const char* keys;
    const char* after;
    u32 caret_after;
  } cases[] = {
      {"", 0, -1, -1, false, "ab", "ab", 2},
      {"ac", 1, -1, -1, false, "b", "abc", 2},
      {"abc", 0, -1, -1, false, "\b", "abc", 0},
      {"abc", 2, -1, -1, false, "\b", "ac", 1},
      {"ab", 1, -1, -1, false, "\n", "a\nb", 2},
      {"hello", 0, 1, 4, false, "X", "hXo", 2},
      {"hello", 0, 4, 1, false, "\b", "ho", 1},   // the anchor may lie after the end
      {"hello", 0, 1, 4, false, "\n", "h\no", 2},
      {"hello", 5, 1, 4, false, "\x1b", "hello", 5},
      {"ab", 1, -1, -1, false, "\t\x7f", "ab", 1},  // neither is typed
      {"ab", 1, -1, -1, true, "qs", "ab", 1},       // Ctrl with no shortcut types nothing
  };
  for (const auto& c : cases) {
    set_text(c.before, c.caret);
    win->te_sel_active = 0;
    win->te_modified = 0;
    if (c.anchor >= 0) select(c.anchor, c.end);
    keys(c.keys, c.ctrl);
    EXPECT_EQ(text(), c.after) << c.before << " + " << c.keys;
    EXPECT_EQ(win->te_caret, c.caret_after) << c.before << " + " << c.keys;
    EXPECT_EQ(win->te_sel_active, 0u) << c.before << " + " << c.keys;
    EXPECT_EQ(win->te_modified, text() != c.before ? 1u : 0u) << c.before << " + " << c.keys;
  }
}

TEST_F(TextEdit, TheDocumentHoldsAtMost511Characters) {
  set_text(std::string(510, 'a'), 0);
  keys("bc\n");
  EXPECT_EQ(text(), "b" + std::string(510, 'a'));
  EXPECT_EQ(win->te_caret, 1u);
  select(0, 2);  // a selection makes room for the character replacing it
  keys("z");
  EXPECT_EQ(text(), "z" + std::string(509, 'a'));

  set_text("", 0);
  std::memset(textedit_clipboard, 'p', 1000);
  textedit_clipboard_len = 1000;
  keys("v", true);
  EXPECT_EQ(text(), std::string(511, 'p'));
  EXPECT_EQ(win->te_caret, 511u);
}

TEST_F(TextEdit, ClipboardIsSharedAndUndoReturnsToTheLastSave) {
  const i32 node = make_file("notes.txt", "one two");
  win->doc_node = node;
  set_text("one two", 0);
  select(0, 4);
  keys("x", true);  // cut "one "
  EXPECT_EQ(text(), "two");
  EXPECT_EQ(std::string(textedit_clipboard, textedit_clipboard_len), "one ");
  win->te_caret = 3;
  keys("v", true);
  EXPECT_EQ(text(), "twoone ");
  keys("z", true);  // cut and paste each took a snapshot
  EXPECT_EQ(text(), "two");

  win = &make_window(app::kTextEdit, 150, 150, 480, 360);  // another window, the same clipboard
  set_text("xy", 1);
  keys("vc", true);  // no selection: copying empties the clipboard
  EXPECT_EQ(text(), "xone y");
  EXPECT_EQ(textedit_clipboard_len, 0u);

  // Typing, a save, more typing: undo goes back to what was saved.
  win->doc_node = node;
  win->te_modified = 0;
  set_text("ab", 2);
  keys("c");
  ASSERT_EQ(textedit_save(*win), 1u);
  keys("de");
  keys("z", true);
  EXPECT_EQ(text(), "abc");
  EXPECT_EQ(win->te_caret, 3u);
  EXPECT_EQ(win->te_modified, 1u);
}

TEST_F(TextEdit, SelectAllAndZoomWithinEightToTwentyFour) {
  set_text("abc\nde", 1);
  keys("a", true);
  EXPECT_EQ((Ints{win->te_sel_anchor, win->te_sel_end, static_cast<i32>(win->te_caret)}), (Ints{0, 6, 6}));
  EXPECT_EQ(win->te_sel_active, 1u);
  const struct {
    i32 from;
    char key;
    i32 to;
  } zooms[] = {{12, '=', 14}, {12, '+', 14}, {12, '-', 10}, {24, '+', 24}, {23, '=', 24}, {8, '-', 8}, {0, '+', 10}};
  for (const auto& z : zooms) {
    win->te_line_h = z.from;
    keys(std::string(1, z.key), true);
    EXPECT_EQ(win->te_line_h, z.to) << z.from << z.key;
  }
}

TEST_F(TextEdit, ArrowsMoveOncePerPressAndShiftExtendsTheSelection) {
  set_text("abcdef\nxy\nlonger", 2);
  const struct {
    u8 key;
    bool shift;
    u32 caret;
  } moves[] = {{scancode::kRight, true, 3}, {scancode::kRight, true, 4}, {scancode::kRight, true, 5},
               {scancode::kDown, false, 9},  // column 5 of a 2-character line: its end
               {scancode::kDown, false, 12}, {scancode::kDown, false, 12},  // from the last line: stays
               {scancode::kUp, false, 9},    {scancode::kUp, false, 2},   {scancode::kUp, false, 2},
               {scancode::kLeft, false, 1},  {scancode::kLeft, false, 0}, {scancode::kLeft, false, 0}};
  for (const auto& m : moves) {
    arrow(m.key, m.shift);
    EXPECT_EQ(win->te_caret, m.caret) << &m - moves;
    EXPECT_EQ(win->te_sel_active, m.shift ? 1u : 0u) << &m - moves;
  }
  EXPECT_EQ((Ints{win->te_sel_anchor, win->te_sel_end}), (Ints{2, 5}));  // from the Shift moves
}

TEST_F(TextEdit, CtrlSWritesOnlyIntoTheLiveDocumentItWasOpenedOn) {
  const i32 node = make_file("notes.txt", "old");
  win->doc_node = node;
  set_text("saved", 5);
  win->te_modified = 1;
  auto ctrl_s = [] {
    key_states[scancode::kCtrl] = key_states[scancode::kS] = 1;
    pass();
    key_states[scancode::kCtrl] = key_states[scancode::kS] = 0;
    pass();
  };
  ctrl_s();
  EXPECT_STREQ(fs_nodes[node].text, "saved");
  EXPECT_EQ(win->te_modified, 0u);

  // Deleted: nothing to write into.
  ASSERT_EQ(fs_delete_node(node), 1u);
  set_text("after delete", 0);
  win->te_modified = 1;
  ctrl_s();
  EXPECT_EQ(win->te_modified, 1u);

  // The slot taken by a new file: that file is not the document.
  const i32 reused = make_file("other.txt", "theirs");
  ASSERT_EQ(reused, node);
  ctrl_s();
  EXPECT_STREQ(fs_nodes[reused].text, "theirs");
  EXPECT_EQ(win->te_modified, 1u);
}

TEST_F(TextEdit, DrawsSelectionCaretAndStatusBar) {
  set_text("hello\nworld", 10);  // caret on line 2, before its fifth character
  select(8, 10);
  win->te_modified = 1;
  draw_app_textedit(win, 101, 130, 478, 329);
  // Line 2 starts at y 142; its characters from x 143, 8 pixels each.
  EXPECT_EQ(px(143 + 8, 142), 0xFFFFFFu);       // 'o' unselected: paper at its corner
  EXPECT_EQ(px(143 + 16 + 7, 142), 0x3390FFu);  // 'r' selected
  EXPECT_EQ(px(143 + 8 * 4, 142), 0x000000u);   // the caret before 'd'
  EXPECT_EQ(px(120, 200), 0xE8E8E8u);           // gutter
  EXPECT_EQ(px(136, 200), 0xC7C7C7u);           // its edge
  const std::string expect = "* Ln 2, Col 5 | Sel 2 chars | Zoom 12px";
  EXPECT_TRUE(text_drawn_at(109, 130 + 329 - 20 + 6, expect, 0x555555));
  win->te_mouse_select = 1;  // no caret while the mouse selects
  draw_app_textedit(win, 101, 130, 478, 329);
  EXPECT_EQ(px(143 + 8 * 4, 142), 0xFFFFFFu);
}

}  // namespace
}  // namespace tavlin::test
