// TextEdit's edits of the 511-character document held in the window record,
// and the clipboard every TextEdit window shares.
#include "kernel/apps/textedit_buffer.h"

#include "kernel/apps/textedit.h"
#include "kernel/core/kstring.h"
#include "kernel/wm/window.h"

namespace tavlin {

char textedit_clipboard[kTextEditClipboardCap];
u32 textedit_clipboard_len;

namespace textedit {
namespace {

i32 clamp_position(i32 pos, i32 length) { return pos < 0 ? 0 : (pos > length ? length : pos); }

void remove_range(Window& w, i32 from, i32 to) {
  memmove(w.text + from, w.text + to, w.text_len - static_cast<u32>(to) + 1);  // with the NUL
  w.text_len -= static_cast<u32>(to - from);
}

}  // namespace

void normalise(Window& w) {
  // The text's NUL is what every reader stops at, so it decides the length.
  w.text[kTextEditLongest] = 0;
  w.text_len = strlen(w.text);
  if (w.te_caret > w.text_len) w.te_caret = w.text_len;
  const i32 length = static_cast<i32>(w.text_len);
  w.te_sel_anchor = clamp_position(w.te_sel_anchor, length);
  w.te_sel_end = clamp_position(w.te_sel_end, length);
  if (w.te_undo_len > kTextEditLongest) w.te_undo_len = kTextEditLongest;
}

void snapshot(Window& w) {
  memcpy(w.te_undo_text, w.text, w.text_len + 1);
  w.te_undo_len = w.text_len;
}

void snapshot_if_saved(Window& w) {
  if (!w.te_modified) snapshot(w);
}

Range selection(const Window& w) {
  if (!w.te_sel_active) return {static_cast<i32>(w.te_caret), static_cast<i32>(w.te_caret)};
  const i32 a = w.te_sel_anchor, b = w.te_sel_end;
  return a < b ? Range{a, b} : Range{b, a};
}

void select_all(Window& w) {
  w.te_sel_anchor = 0;
  w.te_sel_end = static_cast<i32>(w.text_len);
  w.te_caret = w.text_len;
  w.te_sel_active = 1;
}

bool delete_selection(Window& w) {
  if (!w.te_sel_active) return false;
  const Range r = selection(w);
  remove_range(w, r.from, r.to);
  w.te_caret = static_cast<u32>(r.from);
  w.te_sel_anchor = w.te_sel_end = r.from;
  w.te_sel_active = 0;
  return r.to > r.from;
}

bool insert_at_caret(Window& w, char c) {
  if (w.text_len >= kTextEditLongest) return false;
  memmove(w.text + w.te_caret + 1, w.text + w.te_caret, w.text_len - w.te_caret + 1);
  w.text[w.te_caret] = c;
  w.text_len += 1;
  w.te_caret += 1;
  return true;
}

bool delete_before_caret(Window& w) {
  if (w.te_caret == 0) return false;
  remove_range(w, static_cast<i32>(w.te_caret) - 1, static_cast<i32>(w.te_caret));
  w.te_caret -= 1;
  return true;
}

void copy_selection(const Window& w) {
  const Range r = selection(w);
  u32 n = static_cast<u32>(r.to - r.from);
  if (n > kTextEditClipboardCap - 1) n = kTextEditClipboardCap - 1;
  memcpy(textedit_clipboard, w.text + r.from, n);
  textedit_clipboard[n] = 0;
  textedit_clipboard_len = n;
}

void paste_clipboard(Window& w) {
  u32 n = textedit_clipboard_len;
  if (n > kTextEditClipboardCap - 1) n = kTextEditClipboardCap - 1;
  for (u32 i = 0; i < n && insert_at_caret(w, textedit_clipboard[i]); ++i) {
  }
}

void undo(Window& w) {
  if (w.te_undo_len == 0) return;
  // Bounded again here: the menu's Undo reaches this without a normalise.
  const u32 len = w.te_undo_len < kTextEditLongest ? w.te_undo_len : kTextEditLongest;
  memcpy(w.text, w.te_undo_text, len);
  w.text[len] = 0;
  w.text_len = w.te_caret = len;
  w.te_sel_active = 0;
  w.te_modified = 1;
}

}  // namespace textedit
}  // namespace tavlin
