// Typed characters for the focused window: the Finder's in-place rename,
// the Store's list keys, TextEdit, the browser and the Terminal's input
// line. Other applications take no keys.
#include "kernel/wm/dispatch_keys.h"

#include "kernel/apps/apps.h"
#include "kernel/apps/finder.h"
#include "kernel/apps/store.h"
#include "kernel/apps/store_layout.h"
#include "kernel/apps/textedit.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/tree_ops.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/window.h"

namespace tavlin::dispatch {
namespace {

constexpr u32 kFinderNameLongest = 27;
constexpr u32 kTermInputLongest = 45;

void finder_key(Window& w, u8 c) {
  if (!w.finder_renaming) return;
  if (c == key::kEnter)
    finder_commit_rename(w);  // a refused name ends the rename all the same
  else if (c == key::kEscape)
    w.finder_renaming = 0;
  else
    edit_field(w.finder_rename_text, kFinderNameLongest, c);
}

// j and k (or the arrow keys' letters, P and H) walk the list; Enter
// downloads the selected file.
void store_key(Window& w, u8 c) {
  if (!w.store) return;
  StoreState& s = *w.store;
  const i32 count = store_listed(s);
  if (c == 'j' || c == 'J' || c == 'P') {
    if (s.selected < count - 1) s.selected = s.selected + 1;
  } else if (c == 'k' || c == 'K' || c == 'H') {
    if (s.selected > 0) s.selected = s.selected - 1;
  } else if (c == key::kEnter && s.selected >= 0 && s.selected < count) {
    store_download(s, s.selected);
  }
  // Keep the selected card in view.
  s.list_scroll = store_scroll_to_selection(layout_of(w, s), s);
}

void terminal_key(Window& w, u8 c) {
  if (c == key::kEnter) {
    run_terminal_command(&w);
    return;
  }
  // The length is re-derived from the text, so a stale count cannot index
  // past the line.
  w.term_input[kTermInputCap - 1] = 0;
  edit_field(w.term_input, kTermInputLongest, c);
  w.term_input_len = strlen(w.term_input);
}

}  // namespace

void edit_field(char* field, u32 longest, u8 c) {
  const u32 len = strlen(field);
  if (c == key::kBackspace) {
    if (len > 0) field[len - 1] = 0;
  } else if (printable(c) && len < longest) {
    field[len] = static_cast<char>(c);
    field[len + 1] = 0;
  }
}

void route_key(Window& w, u8 c) {
  switch (w.app) {
    case app::kFinder: finder_key(w, c); break;
    case app::kStore: store_key(w, c); break;
    case app::kTextEdit: textedit_key(w, c); break;
    case app::kBrowser: browser_app(&w, 0, 0, 0, 0, 3, c, 0); break;
    case app::kTerminal: terminal_key(w, c); break;
    default: break;  // About, Clock, image viewer, Trash and media player take no keys
  }
}

}  // namespace tavlin::dispatch
