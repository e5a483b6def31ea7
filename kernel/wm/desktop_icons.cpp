// The desktop icon table and the desktop's shared pointer state. The
// rebuild from the Desktop folder is a stand-in that keeps the table as it
// is until the icons' own code lands.
#include "kernel/wm/desktop_icons.h"

#include "kernel/core/kstring.h"

namespace tavlin {

DesktopIcon desktop_icons[kDesktopIcons];
i32 desktop_renaming_idx = -1;
i32 show_desktop_icons = 1;
i32 desktop_rubber_active;
i32 desktop_rubber_start_x, desktop_rubber_start_y;
i32 desktop_rubber_cur_x, desktop_rubber_cur_y;
i32 desktop_rubber_additive;
i32 desktop_drag_active;
i32 desktop_drag_anchor_idx = -1;

void desktop_icons_reset() {
  for (DesktopIcon& icon : desktop_icons) {
    memset(&icon, 0, sizeof icon);
    icon.fs_idx = -1;
  }
  desktop_renaming_idx = -1;
  desktop_rubber_active = 0;
  desktop_drag_active = 0;
  desktop_drag_anchor_idx = -1;
}

void desktop_icons_sync() {}

}  // namespace tavlin
