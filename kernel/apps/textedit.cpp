// TextEdit's keys: typing, Backspace, Enter and Escape, the Ctrl shortcuts
// (zoom, select all, copy, cut, paste, undo), the arrow keys with and
// without Shift, and saving into the document's file node.
#include "kernel/apps/textedit.h"

#include "kernel/apps/textedit_buffer.h"
#include "kernel/apps/textedit_lines.h"
#include "kernel/core/keyboard.h"
#include "kernel/fs/node_table.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr u8 kBackspace = 8, kEnter = 10, kEscape = 27;
constexpr i32 kZoomStep = 2;

enum Arrow { kLeft, kRight, kUp, kDown, kArrows };
constexpr u8 kArrowScancodes[kArrows] = {scancode::kLeft, scancode::kRight, scancode::kUp, scancode::kDown};
u8 arrow_was_held[kArrows];

bool printable(u8 c) { return c >= 0x20 && c <= 0x7E; }

// Typing, Enter and Backspace: the snapshot first (while saved), then the
// selection goes, then the key's own edit.
void edit_key(Window& w, u8 c) {
  textedit::snapshot_if_saved(w);
  bool changed = textedit::delete_selection(w);
  if (c == kBackspace)
    changed = changed || textedit::delete_before_caret(w);
  else
    changed = textedit::insert_at_caret(w, static_cast<char>(c)) || changed;
  if (changed) w.te_modified = 1;
}

void plain_key(Window& w, u8 c) {
  if (c == kEscape) {
    w.te_sel_active = 0;
    w.te_mouse_select = 0;
  } else if (c == kEnter) {
    edit_key(w, '\n');
  } else if (c == kBackspace || printable(c)) {
    edit_key(w, c);
  }
}

void zoom_by(Window& w, i32 step) {
  i32 h = textedit_line_height(w) + step;
  w.te_line_h = h < kTextEditLineHMin ? kTextEditLineHMin : (h > kTextEditLineHMax ? kTextEditLineHMax : h);
}

void cut(Window& w) {
  if (!w.te_sel_active) return;
  textedit::snapshot(w);
  textedit::copy_selection(w);
  textedit::delete_selection(w);
  w.te_modified = 1;
}

void paste(Window& w) {
  if (textedit_clipboard_len == 0) return;
  textedit::snapshot(w);
  textedit::delete_selection(w);
  textedit::paste_clipboard(w);
  w.te_modified = 1;
}

// Letters arrive in either case, as Shift leaves them. S is the save
// chord's, handled once per press by the keyboard dispatcher.
void ctrl_key(Window& w, u8 c) {
  const u8 letter = c >= 'a' && c <= 'z' ? static_cast<u8>(c - 'a' + 'A') : c;
  switch (letter) {
    case '+':
    case '=': zoom_by(w, kZoomStep); break;
    case '-': zoom_by(w, -kZoomStep); break;
    case 'A': textedit::select_all(w); break;
    case 'C': textedit::copy_selection(w); break;
    case 'X': cut(w); break;
    case 'V': paste(w); break;
    case 'Z': textedit::undo(w); break;
    case kEscape:
    case kEnter: plain_key(w, c); break;
    default: break;  // no other shortcut, and nothing is typed while Ctrl is down
  }
}

// Up and Down keep the column, cut to the target line's length.
u32 caret_after(const Window& w, Arrow arrow) {
  const i32 caret = static_cast<i32>(w.te_caret);
  if (arrow == kLeft) return caret > 0 ? static_cast<u32>(caret - 1) : 0;
  if (arrow == kRight) return caret < static_cast<i32>(w.text_len) ? static_cast<u32>(caret + 1) : w.text_len;
  TextLines lines;
  text_lines_split(w.text, static_cast<i32>(w.text_len), &lines);
  const i32 line = text_lines_find(lines, caret);
  const i32 target = arrow == kUp ? line - 1 : line + 1;
  if (target < 0 || target >= lines.count) return w.te_caret;
  const i32 column = caret - lines.start[line];
  const i32 room = text_lines_end(lines, target) - lines.start[target];
  return static_cast<u32>(lines.start[target] + (column < room ? column : room));
}

void move_caret(Window& w, Arrow arrow) {
  const u32 old = w.te_caret;
  w.te_caret = caret_after(w, arrow);
  if (!key_shift) {
    w.te_sel_active = 0;
    return;
  }
  if (!w.te_sel_active) w.te_sel_anchor = static_cast<i32>(old);
  w.te_sel_end = static_cast<i32>(w.te_caret);
  w.te_sel_active = 1;
}

}  // namespace

i32 textedit_line_height(const Window& w) {
  if (w.te_line_h < kTextEditLineHMin) return kTextEditLineHMin;
  return w.te_line_h > kTextEditLineHMax ? kTextEditLineHMax : w.te_line_h;
}

void textedit_key(Window& w, u8 c) {
  textedit::normalise(w);
  if (key_states[scancode::kCtrl])
    ctrl_key(w, c);
  else
    plain_key(w, c);
}

void textedit_poll_arrows(Window& w) {
  textedit::normalise(w);
  for (i32 i = 0; i < kArrows; ++i) {
    const u8 held = key_states[kArrowScancodes[i]] ? 1 : 0;
    if (held && !arrow_was_held[i]) move_caret(w, static_cast<Arrow>(i));
    arrow_was_held[i] = held;
  }
}

u32 textedit_save(Window& w) {
  if (w.app != app::kTextEdit || !fs_is_live_file(w.doc_node)) return 0;
  textedit::normalise(w);
  fs_set_content(w.doc_node, w.text);
  w.te_modified = 0;
  return 1;
}

void textedit_reset_keys() {
  for (u8& held : arrow_was_held) held = 0;
}

}  // namespace tavlin
