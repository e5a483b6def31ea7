// The menu actions' pieces, shared between their files: pinning to the dock
// and the Edit menu.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// Pin to Dock / Unpin from Dock for the context menu's node or application.
bool dock_pin_possible();
bool dock_unpin_possible();
void dock_pin_menu_target();
void dock_unpin_menu_target();

// Undo, Redo and Select All.
bool edit_action_available(i32 code);
void run_edit_action(i32 code);

}  // namespace tavlin
