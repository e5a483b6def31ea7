// The Edit menu: Undo and Select All in the focused TextEdit window, Redo
// of a menu Undo, and Select All over a Finder folder's entries or, with no
// window focused, over the desktop icons.
#include "kernel/apps/finder.h"
#include "kernel/apps/textedit_buffer.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/menu_parts.h"
#include "kernel/wm/menus.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

// What the last menu Undo replaced, so Redo can bring it back while the
// window still shows the undone text.
struct RedoRecord {
  i32 window;  // -1: nothing to redo
  i32 doc_node;
  char text[kDocTextCap];
  u32 text_len;
};
RedoRecord redo = {-1, -1, {}, 0};

Window* focused_textedit() {
  Window* w = win_focused();
  return w && w->app == app::kTextEdit ? w : nullptr;
}

bool shows_undone_text(const Window& w) {
  if (w.text_len != w.te_undo_len || w.te_undo_len >= kDocTextCap) return false;
  for (u32 i = 0; i < w.text_len; ++i)
    if (w.text[i] != w.te_undo_text[i]) return false;
  return true;
}

Window* redo_window() {
  Window* w = focused_textedit();
  if (!w || redo.window != focused_window || redo.doc_node != w->doc_node) return nullptr;
  return shows_undone_text(*w) ? w : nullptr;
}

void replace_text(Window& w, const char* text, u32 len) {
  if (len >= kDocTextCap) len = kDocTextCap - 1;
  memmove(w.text, text, len);
  w.text[len] = 0;
  w.text_len = w.te_caret = len;
  w.te_sel_active = 0;
  w.te_sel_anchor = w.te_sel_end = static_cast<i32>(len);
  w.te_modified = 1;
}

void undo(Window& w) {
  redo.window = focused_window;
  redo.doc_node = w.doc_node;
  redo.text_len = w.text_len < kDocTextCap ? w.text_len : kDocTextCap - 1;
  memcpy(redo.text, w.text, redo.text_len);
  textedit::undo(w);
  // Nothing stays selected: both ends sit at the caret, as after Redo.
  w.te_sel_anchor = w.te_sel_end = static_cast<i32>(w.te_caret);
}

bool finder_has_entries(const Window& w) { return finder_first_entry(w.finder_dir) >= 0; }

void select_all_in_finder(Window& w) {
  i32 guard = 0;
  for (i32 n = finder_first_entry(w.finder_dir); n >= 0 && guard < kFsMaxNodes; n = finder_next_entry(n)) {
    if (n < kFinderSelectable) w.finder_sel[n] = 1;
    ++guard;
  }
}

bool any_icon() {
  for (const DesktopIcon& icon : desktop_icons)
    if (icon.in_use) return true;
  return false;
}

bool select_all_available() {
  const Window* w = win_focused();
  if (!w) return any_icon();
  if (w->app == app::kTextEdit) return w->text_len > 0;
  return w->app == app::kFinder && finder_has_entries(*w);
}

void select_all() {
  Window* w = win_focused();
  if (!w) {
    for (DesktopIcon& icon : desktop_icons) icon.selected = icon.in_use ? 1 : 0;
  } else if (w->app == app::kTextEdit) {
    textedit::select_all(*w);
  } else if (w->app == app::kFinder) {
    select_all_in_finder(*w);
  }
}

}  // namespace

bool edit_action_available(i32 code) {
  if (code == action::kUndo) {
    const Window* w = focused_textedit();
    return w && w->te_undo_len > 0;
  }
  if (code == action::kRedo) return redo_window() != nullptr;
  return code == action::kSelectAll && select_all_available();
}

void run_edit_action(i32 code) {
  if (code == action::kUndo) {
    Window* w = focused_textedit();
    if (w && w->te_undo_len > 0) undo(*w);
  } else if (code == action::kRedo) {
    if (Window* w = redo_window()) {
      replace_text(*w, redo.text, redo.text_len);
      redo.window = -1;
    }
  } else if (code == action::kSelectAll && select_all_available()) {
    select_all();
  }
}

}  // namespace tavlin
