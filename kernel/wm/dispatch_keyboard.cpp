// The keyboard dispatcher's pass: F2 starts a rename, Ctrl+S saves once per
// press, then the typed characters go to whichever text entry owns the
// keyboard: a desktop icon's name, the upload dialog, or the focused window.
#include "kernel/apps/finder.h"
#include "kernel/apps/store.h"
#include "kernel/apps/textedit.h"
#include "kernel/apps/upload_dialog.h"
#include "kernel/core/keyboard.h"
#include "kernel/core/mouse.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dispatch.h"
#include "kernel/wm/dispatch_keys.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/menus.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace dispatch {
namespace {

// F2 renames the Finder's last-selected entry when the Finder has the
// focus, and otherwise the desktop icon under the pointer.
void handle_f2() {
  if (!pending_f2_event) return;
  pending_f2_event = 0;
  Window* w = win_focused();
  if (w && w->app == app::kFinder) {
    finder_begin_rename(*w, w->finder_last_sel);
    return;
  }
  desktop_begin_rename(desktop_icon_at(mouse_x, mouse_y));
}

// Acts on the pass the chord becomes held, so holding it saves once.
void handle_ctrl_s() {
  const u8 chord = key_states[scancode::kCtrl] && key_states[scancode::kS] ? 1 : 0;
  if (chord && !prev_ctrl_s) {
    Window* w = win_focused();
    if (w) textedit_save(*w);
  }
  prev_ctrl_s = chord;
}

DesktopIcon* renaming_icon() {
  if (desktop_renaming_idx < 0 || desktop_renaming_idx >= kDesktopIcons) return nullptr;
  DesktopIcon& icon = desktop_icons[desktop_renaming_idx];
  return icon.renaming ? &icon : nullptr;
}

// Enter and Escape end the rename at once; what is still in the ring waits
// for the next pass.
void feed_desktop_rename(DesktopIcon& icon) {
  u8 c;
  while (kbd_pop(&c)) {
    if (c == key::kEnter) {
      desktop_commit_rename(&icon);
      return;
    }
    if (c == key::kEscape) {
      desktop_renaming_idx = -1;
      icon.renaming = 0;
      return;
    }
    edit_field(icon.rename_buf, kDesktopRenameCap - 1, c);
  }
}

void feed_upload_dialog() {
  u8 c;
  while (kbd_pop(&c)) upload_dialog_key(c);
}

void feed_focused_window() {
  u8 c;
  while (kbd_pop(&c)) {
    if (c == key::kEscape && open_menu >= 0) {
      open_menu = -1;
      continue;
    }
    if (Window* w = win_focused()) route_key(*w, c);
  }
}

}  // namespace
}  // namespace dispatch

void handle_keyboard_logic() {
  using namespace dispatch;
  handle_f2();
  handle_ctrl_s();
  if (DesktopIcon* icon = renaming_icon()) {
    feed_desktop_rename(*icon);
    return;
  }
  if (upload_dialog.active) {
    feed_upload_dialog();
    return;
  }
  Window* w = win_focused();
  if (w && w->app == app::kTextEdit) textedit_poll_arrows(*w);
  feed_focused_window();
}

}  // namespace tavlin
