// TextEdit through its key entry points: typing over the selection, the
// 511-character limit, clipboard and undo, zoom, the arrow keys, and the status bar's counts.

#include <tuple>

#include "kernel/apps/apps.h"
#include "kernel/apps/textedit.h"
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
  // The text with the caret and, unless anchor is -1, a selection.
  void set_text(const std::string& text, u32 caret, i32 anchor = -1, i32 end = -1) {
    std::strcpy(win->text, text.c_str());
    win->text_len = static_cast<u32>(text.size());
    win->te_caret = caret;
    win->te_sel_anchor = anchor;
    win->te_sel_end = end;
    win->te_sel_active = anchor >= 0;
    win->te_modified = 0;
  }
  void keys(const std::string& typed, bool ctrl = false) {
    key_states[scancode::kCtrl] = ctrl;
    for (char c : typed) textedit_key(*win, static_cast<u8>(c));
    key_states[scancode::kCtrl] = 0;
  }
  std::string text() const { return std::string(win->text, win->text_len); }
  Ints caret_and_selection() const { return {i32(win->te_caret), i32(win->te_sel_active)}; }

  Window* win = nullptr;
};

TEST_F(TextEdit, TypingDeletingAndReplacingTheSelection) {
  const struct {
    const char* before;
    u32 caret;
    i32 anchor, end;
    bool ctrl;
    const char *keys, *after;
    u32 caret_after;
  } cases[] = {
      {"ac", 1, -1, -1, false, "b\n", "ab\nc", 3},   {"abc", 0, -1, -1, false, "\b", "abc", 0},
      {"abc", 2, -1, -1, false, "\b", "ac", 1},      {"hello", 0, 1, 4, false, "X", "hXo", 2},
      {"hello", 0, 4, 1, false, "\b", "ho", 1},      {"hello", 5, 1, 4, false, "\x1b", "hello", 5},
      {"ab", 1, -1, -1, false, "\t\x7f", "ab", 1},  {"ab", 1, -1, -1, true, "qs", "ab", 1},  // not typed
      {"ab", 1, -1, -1, true, "\n", "a\nb", 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.before) + " + " + c.keys);
    set_text(c.before, c.caret, c.anchor, c.end);
    keys(c.keys, c.ctrl);
    EXPECT_EQ(text(), c.after);
    EXPECT_EQ(caret_and_selection(), (Ints{i32(c.caret_after), 0}));
    EXPECT_EQ(win->te_modified, text() != c.before ? 1u : 0u);
  }
}

TEST_F(TextEdit, ClipboardIsSharedUndoReturnsToTheLastSaveAndTheDocumentHoldsAtMost511Characters) {
  set_text("one two", 3, 0, 4);
  keys("x", true);  // cut "one "
  win->te_caret = 3;
  keys("vz", true);  // cut and paste each took a snapshot
  EXPECT_EQ(text(), "two");
  win = &make_window(app::kTextEdit, 150, 150, 480, 360);  // another window, the same clipboard
  set_text("xy", 1);
  keys("vc", true);  // no selection: copying empties the clipboard
  EXPECT_EQ(text(), "xone y");
  EXPECT_EQ(textedit_clipboard_len, 0u);
  win->doc_node = make_file("notes.txt", "");
  keys("a", true);
  keys("c");
  ASSERT_EQ(textedit_save(*win), 1u);
  keys("de");
  keys("z", true);
  EXPECT_EQ(text(), "c");
  EXPECT_EQ((Ints{i32(win->te_caret), i32(win->te_modified)}), (Ints{1, 1}));
  set_text(std::string(510, 'a'), 0);
  keys("bc\n");
  EXPECT_EQ(text(), "b" + std::string(510, 'a'));
  set_text("", 0);
  std::memset(textedit_clipboard, 'p', 1000);
  textedit_clipboard_len = 1000;
  keys("v", true);
  EXPECT_EQ(text(), std::string(511, 'p'));
}

TEST_F(TextEdit, ArrowsMoveOncePerPressAndShiftExtendsTheSelection) {
  set_text("abcdef\nxy\nlonger", 2);
  const Ints moves[] = {{scancode::kRight, 1, 3}, {scancode::kRight, 1, 4},  // the key, Shift, the caret after
                        {scancode::kDown, 0, 9},  // column 4 of a 2-character line: its end
                        {scancode::kDown, 0, 12}, {scancode::kDown, 0, 12}, {scancode::kUp, 0, 9},
                        {scancode::kUp, 0, 2},    {scancode::kLeft, 0, 1}};
  for (const Ints& m : moves) {
    key_shift = u8(m[1]);
    key_states[m[0]] = 1;
    textedit_poll_arrows(*win);
    textedit_poll_arrows(*win);  // still held: no second step
    key_states[m[0]] = 0;
    textedit_poll_arrows(*win);
    EXPECT_EQ(caret_and_selection(), (Ints{m[2], m[1]})) << &m - moves;
  }
  key_shift = 0;
  EXPECT_EQ((Ints{win->te_sel_anchor, win->te_sel_end}), (Ints{2, 4}));  // from the Shift moves
}

TEST_F(TextEdit, StatusBarCountsLineColumnSelectionAndTheZoomThatStopsAtTwentyFour) {
  win->te_line_h = 0;  // never drawn: the first drawing sets the defaults
  draw_app_textedit(win, 101, 130, 478, 329);
  EXPECT_EQ(win->te_line_h, kTextEditLineHDefault);
  set_text("hello\nworld", 10, 8, 10);
  win->te_modified = 1;
  win->te_line_h = 21;
  keys("=+-=", true);  // zoom in steps of two, to at most 24
  draw_app_textedit(win, 101, 130, 478, 329);
  EXPECT_TRUE(text_drawn_at(109, 130 + 329 - 20 + 6, "* Ln 2, Col 5 | Sel 2 chars | Zoom 24px", 0x555555));
}

}  // namespace
}  // namespace tavlin::test
