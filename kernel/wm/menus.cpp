// The menu tables, the context menu record, the open drop-down and the
// geometry shared by the menus' drawing and their hit tests.
#include "kernel/wm/menus.h"

#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/wm/dock.h"

namespace tavlin {
namespace {

constexpr MenuItem kFileItems[] = {
    {"New Finder Window", action::kNewFinderWindow},
    {"New Terminal", action::kNewTerminal},
    {"Close Window", action::kCloseWindow},
};
constexpr MenuItem kEditItems[] = {
    {"Undo", action::kUndo},
    {"Redo", action::kRedo},
    {"Select All", action::kSelectAll},
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

bool dropdown_box(i32 m, MenuBox* box) {
  if (m < 0 || m >= kTopMenuCount) return false;
  const TopMenu& menu = top_menus[m];
  i32 width = kDropdownMinWidth;
  for (i32 i = 0; i < menu.count; ++i) {
    const i32 needed = 8 * static_cast<i32>(strlen(menu.items[i].label)) + 32;
    if (needed > width) width = needed;
  }
  *box = {topbar_menu_x[m] - kTitlePad, kDropdownTop, width, menu.count * kDropdownRow + 12};
  return true;
}

i32 menu_dropdown_hit_test(i32 x, i32 y) {
  MenuBox box;
  if (!dropdown_box(open_menu, &box)) return -1;
  const i32 count = top_menus[open_menu].count;
  if (x < box.x || x >= box.x + box.w) return -1;
  if (y < kDropdownFirstRow || y >= count * kDropdownRow + 40) return -1;
  const i32 item = (y - kDropdownFirstRow) / kDropdownRow;
  return item < count ? item : -1;
}

}  // namespace tavlin
