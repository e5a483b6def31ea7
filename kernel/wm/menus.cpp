// The menu tables, the context menu record and the open drop-down. The
// drop-down hit test and most actions are stand-ins until the top bar's
// menus land here: no drop-down item answers, and only the trash's actions run.
#include "kernel/wm/menus.h"

#include "kernel/core/framebuffer.h"
#include "kernel/apps/trash_window.h"
#include "kernel/wm/dock.h"

namespace tavlin {
namespace {

constexpr MenuItem kFileItems[] = {
    {"New Finder Window", action::kNewFinderWindow},
    {"New Terminal", action::kNewTerminal},
    {"Close Window", action::kCloseWindow},
};
constexpr MenuItem kEditItems[] = {
    {"Undo", action::kNothing},
    {"Redo", action::kNothing},
    {"Select All", action::kNothing},
};
constexpr MenuItem kViewItems[] = {
    {"Show/Hide Desktop Icons", action::kToggleDesktopIcons},
};
constexpr MenuItem kWindowItems[] = {
    {"Minimize", action::kMinimize},
    {"Zoom", action::kZoom},
    {"Cycle Windows", action::kCycleWindows},
    {"Minimize All", action::kMinimizeAll},
};
constexpr MenuItem kHelpItems[] = {
    {"About TavlinOS", action::kAbout},
};

constexpr i32 kScreenMargin = 4;
constexpr i32 kLowestTop = 32;  // below the top bar
constexpr i32 kAboveTrash = 10;
constexpr i32 kTrashMenuShift = 80;  // half the menu, so it centres on the trash

}  // namespace

const TopMenu top_menus[kTopMenuCount] = {
    {"File", kFileItems, 3}, {"Edit", kEditItems, 3},     {"View", kViewItems, 1},
    {"Window", kWindowItems, 4}, {"Help", kHelpItems, 1},
};

CtxMenu ctx_menu = {0, 0, 0, {}, {}, 0, -1, 0};
i32 open_menu = -1;
i32 topbar_menu_x[kTopMenuCount];
i32 topbar_menu_w[kTopMenuCount];

void menus_reset() {
  ctx_menu = CtxMenu{0, 0, 0, {}, {}, 0, -1, 0};
  open_menu = -1;
  for (i32 i = 0; i < kTopMenuCount; ++i) topbar_menu_x[i] = topbar_menu_w[i] = 0;
}

void ctx_menu_rect(i32* x, i32* top, i32* height) {
  const i32 W = static_cast<i32>(fb_width);
  const i32 h = ctx_menu.count * kCtxMenuRow + kCtxMenuPad;
  i32 left = ctx_menu.x, t = ctx_menu.y - h;
  if (trash_hit_test(ctx_menu.x, ctx_menu.y)) {
    i32 tx, ty, tw, th;
    dock_trash_rect(&tx, &ty, &tw, &th);
    left = ctx_menu.x - kTrashMenuShift;
    t = ty - h - kAboveTrash;
  }
  if (left < kScreenMargin) left = kScreenMargin;
  if (left + kCtxMenuWidth > W - kScreenMargin) left = W - kCtxMenuWidth - kScreenMargin;
  if (t < kLowestTop) t = kLowestTop;
  *x = left;
  *top = t;
  *height = h;
}

// Stand-in: no drop-down is drawn yet, so none of its items can be hit.
i32 menu_dropdown_hit_test(i32, i32) { return -1; }

// Only the trash's own actions run until the top bar's menus land here:
// the trash's context menu is the one way to reach its confirmation.
void dispatch_menu_action(i32 code) {
  if (code == action::kOpenTrash) {
    open_trash_window();
  } else if (code == action::kEmptyTrash) {
    trash_confirm_active = 1;
    trash_confirm_x = ctx_menu.x;
    trash_confirm_y = ctx_menu.y;
  }
}

}  // namespace tavlin
