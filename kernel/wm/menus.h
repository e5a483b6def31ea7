// The menus: the five drop-down menus of the top bar with their action
// codes, the context menu a right press opens, the title positions the bar
// was last drawn with, and the action codes' dispatcher.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr i32 kTopMenuCount = 5;
constexpr i32 kCtxMenuItems = 6;
constexpr i32 kCtxMenuWidth = 160;
constexpr i32 kCtxMenuRow = 20;
constexpr i32 kCtxMenuPad = 12;  // the rows' margin, 6 px above and below

// Drop-down geometry: it hangs from the bar's bottom edge, its rows start
// 6 px lower, and it is never narrower than kDropdownMinWidth.
constexpr i32 kDropdownTop = 28;
constexpr i32 kDropdownFirstRow = 34;
constexpr i32 kDropdownRow = 20;
constexpr i32 kDropdownMinWidth = 170;
constexpr i32 kTitlePad = 6;  // a title's highlight and click area start this far left of its text

// Action codes of menu items, run by dispatch_menu_action.
namespace action {
constexpr i32 kNothing = 0;
constexpr i32 kNewFinderWindow = 1;
constexpr i32 kNewTerminal = 2;
constexpr i32 kCloseWindow = 3;
constexpr i32 kMinimize = 4;
constexpr i32 kZoom = 5;
constexpr i32 kCycleWindows = 6;
constexpr i32 kMinimizeAll = 7;
constexpr i32 kToggleDesktopIcons = 8;
constexpr i32 kAbout = 9;
constexpr i32 kDelete = 10;
constexpr i32 kFinderRename = 11;
constexpr i32 kDesktopRename = 12;
constexpr i32 kNewFolder = 13;
constexpr i32 kNewFile = 14;
constexpr i32 kOpenTrash = 15;
constexpr i32 kEmptyTrash = 16;
constexpr i32 kPinToDock = 17;
constexpr i32 kUnpinFromDock = 18;
constexpr i32 kSetAppName = 19;
// The Edit menu's entries, for the focused TextEdit or Finder window or,
// with no window focused, the desktop icons.
constexpr i32 kUndo = 20;
constexpr i32 kRedo = 21;
constexpr i32 kSelectAll = 22;
}  // namespace action

struct MenuItem {
  const char* label;
  i32 action;
};

struct TopMenu {
  const char* title;
  const MenuItem* items;
  i32 count;
};

extern const TopMenu top_menus[kTopMenuCount];

// The context menu: open flag, anchor, items and the node or application
// its actions apply to.
struct CtxMenu {
  i32 active;
  i32 x, y;
  const char* labels[kCtxMenuItems];
  i32 actions[kCtxMenuItems];
  i32 count;
  i32 fs_idx;  // target node, -1 for none
  i32 app;     // target application kind, 0 for none
};
static_assert(sizeof(void*) != 4 || __builtin_offsetof(CtxMenu, labels) == 12);
static_assert(sizeof(void*) != 4 || __builtin_offsetof(CtxMenu, actions) == 36);
static_assert(sizeof(void*) != 4 || __builtin_offsetof(CtxMenu, fs_idx) == 64);
static_assert(sizeof(void*) != 4 || sizeof(CtxMenu) == 72);

extern CtxMenu ctx_menu;
// The open drop-down (0 to 4), -1 for none.
extern i32 open_menu;
// Left edge of each title's text and the width of its click area, as the
// bar was last drawn; a title never drawn has no click area.
extern i32 topbar_menu_x[kTopMenuCount];
extern i32 topbar_menu_w[kTopMenuCount];

// Closes every menu and forgets the title positions (start-up, tests).
void menus_reset();

// The context menu's rectangle, shared by its drawing and its hit test: it
// opens upward from its anchor, or above the dock when anchored on the
// trash, and stays on the screen.
void ctx_menu_rect(i32* x, i32* top, i32* height);

// The rectangle of menu m's drop-down as the bar was last drawn; false for
// no such menu.
struct MenuBox {
  i32 x, y, w, h;
};
bool dropdown_box(i32 m, MenuBox* box);

// Item of the open drop-down under the point, -1 for none.
i32 menu_dropdown_hit_test(i32 x, i32 y);

// True when the action would change something now. Menus show the others
// greyed out and dispatch_menu_action ignores them, so no offered item is
// a silent no-op.
bool menu_action_available(i32 code);
void dispatch_menu_action(i32 code);

}  // namespace tavlin
