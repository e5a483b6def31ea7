// The layers a left press meets before anything on the desktop: an inline
// rename to commit, the trash confirmation, the context menu, an open
// drop-down and the top bar's titles. Open popups swallow the press.
#include "kernel/fs/trash.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dispatch_parts.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/menus.h"

namespace tavlin::dispatch {
namespace {

constexpr i32 kTopBarRows = 28;
constexpr i32 kTitlePad = 6;  // a title's click area starts this far left of its text

void commit_rename_outside(i32 cx, i32 cy) {
  if (desktop_renaming_idx < 0 || desktop_renaming_idx >= kDesktopIcons) return;
  DesktopIcon& icon = desktop_icons[desktop_renaming_idx];
  if (icon.renaming && !desktop_icon_hit(icon, cx, cy)) desktop_commit_rename(&icon);
}

void press_trash_confirm(i32 cx, i32 cy) {
  i32 px, py;
  trash_confirm_origin(&px, &py);
  const bool on_empty = cx > px + 11 && cx <= px + 81 && cy >= py + 62 && cy <= py + 81;
  if (on_empty) trash_count = 0;
  trash_confirm_active = 0;
}

void press_dropdown(i32 cx, i32 cy) {
  const i32 item = menu_dropdown_hit_test(cx, cy);
  if (open_menu < kTopMenuCount && item >= 0 && item < top_menus[open_menu].count)
    dispatch_menu_action(top_menus[open_menu].items[item].action);
  open_menu = -1;
}

bool press_topbar_title(i32 cx, i32 cy) {
  if (cy < 0 || cy >= kTopBarRows) return false;
  for (i32 i = 0; i < kTopMenuCount; ++i) {
    const i32 left = topbar_menu_x[i] - kTitlePad;
    if (cx >= left && cx < left + topbar_menu_w[i]) {
      open_menu = i;
      return true;
    }
  }
  return false;
}

}  // namespace

i32 ctx_menu_action_at(i32 cx, i32 cy) {
  i32 x, top, height;
  ctx_menu_rect(&x, &top, &height);
  if (cx < x || cx >= x + kCtxMenuWidth || cy < top || cy >= top + height) return -1;
  // Truncation toward zero gives the top margin to the first row; the
  // bottom margin answers nothing.
  const i32 item = (cy - top - kCtxMenuPad / 2) / kCtxMenuRow;
  if (item < 0 || item >= ctx_menu.count || item >= kCtxMenuItems) return -1;
  return ctx_menu.actions[item];
}

bool press_modal_layers(i32 cx, i32 cy) {
  commit_rename_outside(cx, cy);
  if (trash_confirm_active) {
    press_trash_confirm(cx, cy);
    return true;
  }
  if (ctx_menu.active) {
    const i32 code = ctx_menu_action_at(cx, cy);
    if (code >= 0) dispatch_menu_action(code);
    ctx_menu.active = 0;
    return true;
  }
  if (open_menu >= 0) {
    press_dropdown(cx, cy);
    return true;
  }
  return press_topbar_title(cx, cy);
}

}  // namespace tavlin::dispatch
